#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/FrameCodec.h"

namespace {

using Status = FrameCodec::Status;

// Drains the codec: every whole frame's payload, and each stray byte as a
// one-character entry prefixed with '!'.
std::vector<std::string> Drain(FrameCodec& codec) {
    std::vector<std::string> out;
    std::string payload;
    char stray = 0;
    for (;;) {
        const Status status = codec.Take(&payload, &stray);
        if (status == Status::kNeedMore) return out;
        out.push_back(status == Status::kFrame ? payload : std::string("!") + stray);
    }
}

TEST(FrameCodec, EncodesHeaderAndRefusesOversizedPayload) {
    EXPECT_EQ(std::string("\x01\x00\x02OK", 5), FrameCodec::Encode("OK"));
    EXPECT_EQ(std::string("\x01\x00\x00", 3), FrameCodec::Encode(""));
    const std::string largest(FrameCodec::kMaxPayload, 'x');
    const std::string frame = FrameCodec::Encode(largest);
    ASSERT_EQ(largest.size() + 3, frame.size());
    EXPECT_EQ('\xFF', frame[1]);
    EXPECT_EQ('\xFF', frame[2]);
    EXPECT_TRUE(FrameCodec::Encode(largest + "x").empty());
}

TEST(FrameCodec, FrameCutAtEveryPositionCompletesOnlyWhenWhole) {
    const std::string payload("SETTAGS:\x00\x1b\x01\xff", 12);
    const std::string frame = FrameCodec::Encode(payload);
    for (size_t cut = 0; cut < frame.size(); ++cut) {
        FrameCodec codec;
        codec.Feed(frame.substr(0, cut));
        EXPECT_TRUE(Drain(codec).empty()) << "cut at " << cut;
        const size_t missing = cut == 0 ? 1 : cut < 3 ? 3 - cut : frame.size() - cut;
        EXPECT_EQ(missing, codec.Missing()) << "cut at " << cut;
        codec.Feed(frame.substr(cut));
        EXPECT_EQ(std::vector<std::string>{payload}, Drain(codec)) << "cut at " << cut;
        EXPECT_EQ(0u, codec.Discard());
    }
}

TEST(FrameCodec, ByteByByteAndLengthSplitAcrossReads) {
    const std::string payload(300, 'p');
    const std::string frame = FrameCodec::Encode(payload);
    FrameCodec codec;
    std::vector<std::string> got;
    for (char byte : frame) {
        codec.Feed(std::string(1, byte));
        for (std::string& p : Drain(codec)) got.push_back(p);
    }
    EXPECT_EQ(std::vector<std::string>{payload}, got);
}

TEST(FrameCodec, JoinedFramesAndStrayBytesComeOutInOrder) {
    FrameCodec codec;
    codec.Feed("\x05" + FrameCodec::Encode("A") + std::string("\x00\x7f", 2) +
               FrameCodec::Encode("") + FrameCodec::Encode("BC"));
    const std::vector<std::string> expected{"!\x05", "A", std::string("!\0", 2), "!\x7f", "", "BC"};
    EXPECT_EQ(expected, Drain(codec));
}

TEST(FrameCodec, CutFrameReportsPartialPayloadAndIsDiscarded) {
    FrameCodec codec;
    codec.Feed(FrameCodec::Encode("PRINT:line").substr(0, 8));
    EXPECT_TRUE(codec.HeaderComplete());
    EXPECT_EQ("PRINT", codec.PartialPayload());
    EXPECT_EQ(5u, codec.Missing());
    EXPECT_EQ(8u, codec.Discard());
    EXPECT_FALSE(codec.HeaderComplete());
    EXPECT_EQ("", codec.PartialPayload());
    codec.Feed(FrameCodec::Encode("OK"));
    EXPECT_EQ(std::vector<std::string>{"OK"}, Drain(codec));
}

TEST(FrameCodec, LargestPayloadInPieces) {
    const std::string payload(FrameCodec::kMaxPayload, '\x1b');
    const std::string frame = FrameCodec::Encode(payload);
    FrameCodec codec;
    for (size_t at = 0; at < frame.size(); at += 4096) codec.Feed(frame.substr(at, 4096));
    EXPECT_EQ(std::vector<std::string>{payload}, Drain(codec));
}

}  // namespace
