#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "Framing.h"
#include "TagList.h"

using vpinpad::Framing;
using vpinpad::TagList;

TEST(Framing, EncodesLengthBigEndianAndKeepsAnyByte) {
    EXPECT_EQ(Framing::Encode("PING:"), std::string("\x01\x00\x05PING:", 8));
    EXPECT_EQ(Framing::Encode(""), std::string("\x01\x00\x00", 3));
    std::string binary("\x01\x1b\x00", 3);
    EXPECT_EQ(Framing::Encode(std::string(300, 'a')).substr(0, 3), std::string("\x01\x01\x2c", 3));
    EXPECT_EQ(Framing::Encode(binary, 0x02), std::string("\x02\x00\x03", 3) + binary);
}

TEST(Framing, RefusesPayloadsThatDoNotFitTheLength) {
    EXPECT_EQ(Framing::Encode(std::string(65535, 'x')).size(), 65538u);
    EXPECT_THROW(Framing::Encode(std::string(65536, 'x')), std::length_error);
    EXPECT_THROW(Framing::Header(70000), std::length_error);
}

TEST(Framing, DecoderWaitsForCutFramesAndSplitsJoinedOnes) {
    Framing decoder;
    std::string payload;
    decoder.Feed(std::string("\x01\x00\x04OK", 5));
    EXPECT_EQ(decoder.Next(&payload), Framing::Status::kNeedMore);
    EXPECT_EQ(decoder.Pending(), 5u);
    EXPECT_EQ(decoder.Announced(), 4u);
    decoder.Feed(
        std::string("!!\x01\x00\x02"
                    "ER",
                    7));
    ASSERT_EQ(decoder.Next(&payload), Framing::Status::kFrame);
    EXPECT_EQ(payload, "OK!!");
    ASSERT_EQ(decoder.Next(&payload), Framing::Status::kFrame);
    EXPECT_EQ(payload, "ER");
    EXPECT_EQ(decoder.Next(&payload), Framing::Status::kNeedMore);
    EXPECT_EQ(decoder.Pending(), 0u);
}

TEST(Framing, DecoderHandsOutStrayBytesBeforeTheNextFrame) {
    Framing decoder;
    std::string payload;
    decoder.Feed(std::string("xy\x01\x00\x00", 5));
    ASSERT_EQ(decoder.Next(&payload), Framing::Status::kStray);
    EXPECT_EQ(payload, "xy");
    ASSERT_EQ(decoder.Next(&payload), Framing::Status::kFrame);
    EXPECT_EQ(payload, "");
}

TEST(TagList, BuildsAndReadsOneToThreeByteTags) {
    std::string list =
        TagList::Build({{0x5A, "\x12\x34"}, {0x9F1C, "1234"}, {0x1F812E, "x"}, {0xA1A1, "z"}});
    EXPECT_EQ(list, std::string("\x5A\x02\x12\x34\x9F\x1C\x04"
                                "1234\x1F\x81\x2E\x01x\xA1\xA1\x01z",
                                20));
    std::map<std::uint32_t, std::string> read;
    ASSERT_TRUE(TagList::Parse(list, &read));
    EXPECT_EQ(read.at(0x9F1C), "1234");
    EXPECT_EQ(read.at(0x1F812E), "x");
    EXPECT_EQ(read.at(0xA1A1), "z");
}

TEST(TagList, RejectsCutListsAndUnreadableLengths) {
    std::map<std::uint32_t, std::string> read;
    EXPECT_FALSE(TagList::Parse(std::string("\x5A\x05\x12\x34", 4), &read));
    EXPECT_FALSE(TagList::Parse(std::string("\x5A\x00", 2), &read));
    EXPECT_THROW(TagList::Build({{0x5A, std::string(128, 'a')}}), std::invalid_argument);
    EXPECT_THROW(TagList::Build({{0x5A, ""}}), std::invalid_argument);
    EXPECT_THROW(TagList::ParseAssignment("XYZ=1"), std::invalid_argument);
    EXPECT_EQ(TagList::ParseAssignment("9f1c=a=b").second, "a=b");
}
