// How card data is shown in logs: each kind of card data, tag lists cut short
// or malformed, values at their largest, and the message forms.
#include <gtest/gtest.h>

#include "config/CardData.h"
#include "config/Tags.h"

namespace {

using Payload = CardData::Payload;

const std::string kPanItem("\x5A\x08\x42\x76\x12\x34\x56\x78\x12\x34", 10);
const std::string kTrack2 = "4276123456781234=25121011234567890";
const std::string kTrack1 = "B4276123456781234^IVANOV/IVAN ^25121011234500000";

std::string Item(const std::string& tag, const std::string& value) {
    return tag + static_cast<char>(value.size()) + value;
}

TEST(CardData, CardNumbersAreMaskedToFirstSixAndLastFour) {
    EXPECT_EQ(CardData::MaskPan("4276123456781234"), "427612******1234");
    EXPECT_EQ(CardData::MaskPan("4276123456781234567"), "427612*********4567");
    EXPECT_EQ(CardData::MaskPan("4276********1234"), "4276********1234");
    EXPECT_EQ(CardData::MaskPan("4276 1234 5678 1234 "), "4276 12** **** 1234 ");
    EXPECT_EQ(CardData::MaskPan("42761234567"), "*******4567");
    EXPECT_EQ(CardData::MaskPan("1234567"), "*******");
    EXPECT_EQ(CardData::MaskPan("D12345"), "D*****");
    EXPECT_EQ(CardData::MaskPan(""), "");
}

TEST(CardData, PackedCardNumbersAreUnpackedBeforeMasking) {
    EXPECT_EQ(CardData::PanText("\x42\x76\x12\x34\x56\x78\x12\x34"), "4276123456781234");
    EXPECT_EQ(CardData::PanText("\x42\x76\xDD\xDD\xDD\xDD\x12\x34"), "4276********1234");
    EXPECT_EQ(CardData::PanText("\x42\x76\x12\x34\x56\x78\x12\x34\x5F"), "42761234567812345");
    EXPECT_EQ(CardData::PanText("4276********1234"), "4276********1234");
    EXPECT_EQ(CardData::Value("pan", "D12345"), "D*****");
    EXPECT_EQ(CardData::Value("pan", "\x42\x76\x12\x34\x56\x78\x12\x34"), "427612******1234");
    EXPECT_EQ(CardData::Value("loyalty_card_number", "6012345678901234"), "601234******1234");
}

TEST(CardData, TracksNamesAndEncryptedDataAreShownByLengthOnly) {
    EXPECT_EQ(CardData::Value("track2_data", kTrack2), "<track2_data: 34 bytes>");
    EXPECT_EQ(CardData::Value("track1_data", kTrack1), "<track1_data: 48 bytes>");
    EXPECT_EQ(CardData::Value("cardholder_name", "IVANOV/IVAN"), "<cardholder_name: 11 bytes>");
    EXPECT_EQ(CardData::Value("received_text_message", "IVANOV/IVAN"),
              "<received_text_message: 11 bytes>");
    EXPECT_EQ(CardData::Value("loyalty_track2", "1234=56"), "<loyalty_track2: 7 bytes>");
    EXPECT_EQ(CardData::Value("rfu", ";" + kTrack2 + "?"), "<rfu: 36 bytes>");
    EXPECT_EQ(CardData::Value("enc_data", "ABCDEF"), "<enc_data: 6 bytes>");
    EXPECT_EQ(CardData::Value("result_enc_data", "ABCDEF"), "<result_enc_data: 6 bytes>");
    EXPECT_EQ(CardData::Value("track2_data", ""), "");
    EXPECT_EQ(CardData::Value("terminal_id", "00012345"), "00012345");
    EXPECT_FALSE(CardData::IsCardTag("rrn"));
    EXPECT_TRUE(CardData::IsCardTag("track2_data"));
}

TEST(CardData, ResultFilesGetTheMaskedNumberAndNoOtherCardData) {
    EXPECT_EQ(CardData::ResultValue("pan", "4276123456781234"), "427612******1234");
    EXPECT_EQ(CardData::ResultValue("track2_data", kTrack2), "");
    EXPECT_EQ(CardData::ResultValue("rrn", "412345678901"), "412345678901");
}

TEST(CardData, TagListShowsEveryItemWithCardDataRendered) {
    const std::string list = kPanItem + Item("\x57", kTrack2) + Item("\x1F\x70", kTrack1) +
                             Item("\x5F\x20", "IVANOV/IVAN") + Item("\x1F\x75", "\x12\x34\xD5") +
                             Item("\x9F\x1C", "0001\n2345") + Item("\x9F\x7F", "x");
    EXPECT_EQ(CardData::TagList(list),
              "pan=427612******1234 track2_data=<track2_data: 34 bytes> "
              "track1_data=<track1_data: 48 bytes> cardholder_name=<cardholder_name: 11 bytes> "
              "loyalty_track2=<loyalty_track2: 3 bytes> terminal_id=0001\\x0A2345 0x9F7F=x");
}

TEST(CardData, CutAndMalformedListsNeverShowTheCutBytes) {
    const std::string list = kPanItem + Item("\x57", kTrack2);
    // Cut inside every byte of the track item: the whole card number stays
    // masked and the cut part is shown by its length only.
    for (std::size_t size = kPanItem.size() + 1; size < list.size(); ++size) {
        const std::string shown = CardData::TagList(list.substr(0, size));
        EXPECT_EQ(shown, "pan=427612******1234 <cut: " + std::to_string(size - kPanItem.size()) +
                             " bytes>");
        EXPECT_EQ(shown.find("4276123456"), std::string::npos);
    }
    for (std::size_t size = 1; size < kPanItem.size(); ++size)
        EXPECT_EQ(CardData::TagList(kPanItem.substr(0, size)),
                  "<cut: " + std::to_string(size) + " bytes>");
    // A length byte of zero or above 127 carries no value; the items behind it
    // are still read.
    EXPECT_EQ(CardData::TagList(std::string("\x57\x00", 2) + "\x57\x85" + kPanItem),
              "track2_data= track2_data= pan=427612******1234");
    EXPECT_EQ(CardData::TagList(""), "");
}

TEST(CardData, LargestValuesAreShownByLengthAndRedactedInPlace) {
    const std::string track(Tags::kMaxValueLength, '7');
    const std::string list = Item("\x1F\x70", track) + Item("\x5A", std::string(10, '\x99'));
    EXPECT_EQ(CardData::TagList(list),
              "track1_data=<track1_data: 127 bytes> pan=999999**********9999");
    const std::string redacted = CardData::Redact(list, Payload::kTagList);
    EXPECT_EQ(redacted,
              Item("\x1F\x70", "<track1_data: 127 bytes>") + Item("\x5A", "999999**********9999"));
    EXPECT_EQ(CardData::TagList(redacted),
              "track1_data=<track1_data: 24 bytes> pan=999999**********9999");
}

TEST(CardData, MessagesShowTheirCardFieldsRendered) {
    EXPECT_EQ(CardData::Message("SETTAGS:" + kPanItem), "SETTAGS:pan=427612******1234");
    EXPECT_EQ(CardData::Message("SEND_CARD:" + Item("\x57", kTrack2)),
              "SEND_CARD:track2_data=<track2_data: 34 bytes>");
    EXPECT_EQ(CardData::Message(kPanItem, Payload::kTagList), "pan=427612******1234");
    EXPECT_EQ(CardData::Message("1\x1b"
                                "1\x1b"
                                "643\x1b"
                                "15.00\x1b\x1b;" +
                                    kTrack2,
                                Payload::kStart),
              "1\\x1B1\\x1B643\\x1B15.00\\x1B\\x1B<card: 35 bytes>");
    EXPECT_EQ(CardData::Message("1\x1b"
                                "1\x1b"
                                "643\x1b"
                                "15.00\x1b\x1b",
                                Payload::kStart),
              "1\\x1B1\\x1B643\\x1B15.00\\x1B\\x1B");
    EXPECT_EQ(CardData::Message(std::string("WRITE:2:\x00\x10"
                                            "AUTH",
                                            14)),
              "WRITE:2:<data: 6 bytes>");
    EXPECT_EQ(CardData::Message(std::string("2:\x00\x0F"
                                            "APPROVED",
                                            12),
                                Payload::kChannel),
              "2:<data: 10 bytes>");
    EXPECT_EQ(CardData::Message("PRINT:CARD 4276123456781234 RRN 412345678901\n"),
              "PRINT:CARD 427612******1234 RRN 412345678901\\x0A");
    EXPECT_EQ(CardData::Message("OK"), "OK");
}

TEST(CardData, MifareBlocksAndStoredFilesAreShownByLength) {
    EXPECT_EQ(CardData::Message("MF:DATA:0011AABB"), "MF:DATA:<data: 8 bytes>");
    EXPECT_EQ(CardData::Message("MF:DATA:"), "MF:DATA:");
    EXPECT_EQ(CardData::Message("MF:START"), "MF:START");
    EXPECT_EQ(CardData::Message("PUTFILE:report.txt\x1c" + std::string("\x00\x01\x02", 3)),
              "PUTFILE:report.txt\\x1C<data: 3 bytes>");
    EXPECT_EQ(CardData::Message("PUTFILE:report.txt"), "PUTFILE:report.txt");
    EXPECT_EQ(CardData::Value("MF_DATA", "0011AABB"), "<MF_DATA: 8 bytes>");
}

// What a proxy relays and what is typed on the pinpad in a direct dialog may
// be card data, in the messages and in the requests of the register alike.
TEST(CardData, ModeDataIsShownByLength) {
    EXPECT_EQ(CardData::Message("PROXY:SEND:4111111111111111"), "PROXY:SEND:<data: 16 bytes>");
    EXPECT_EQ(CardData::Message("PROXY:DATA:abc"), "PROXY:DATA:<data: 3 bytes>");
    EXPECT_EQ(CardData::Message("DL:DATA:1234"), "DL:DATA:<data: 4 bytes>");
    EXPECT_EQ(CardData::Message("PROXY:DATA:"), "PROXY:DATA:");
    EXPECT_EQ(CardData::Message("DL:WRLINE:0,0,0,Hello"), "DL:WRLINE:0,0,0,Hello");
    EXPECT_EQ(CardData::Request("SEND|4111111111111111"), "SEND|<data: 16 bytes>");
    EXPECT_EQ(CardData::Request("PROXY_SEND=secret"), "PROXY_SEND=<data: 6 bytes>");
    EXPECT_EQ(CardData::Request("pan=4111111111111111"), "pan=<data: 16 bytes>");
    EXPECT_EQ(CardData::Request("WRITE|4111111111111111"), "WRITE|411111******1111");
    EXPECT_EQ(CardData::Request("CONNECT|net1"), "CONNECT|net1");
    EXPECT_EQ(CardData::Request("END"), "END");
    EXPECT_EQ(CardData::Value("DATA_INPUT", "1234"), "<DATA_INPUT: 4 bytes>");
}

TEST(CardData, TransportBytesAreShownAsMessagesOrByLength) {
    EXPECT_EQ(CardData::Stream("SETTAGS:" + kPanItem), "SETTAGS:pan=427612******1234");
    EXPECT_EQ(CardData::Stream(std::string("WRITE:2:\x00\x04"
                                           "4276",
                                           14)),
              "WRITE:2:<data: 6 bytes>");
    EXPECT_EQ(CardData::Stream(std::string("\x01\x00\x0A", 3)), "<data: 3 bytes>");
    EXPECT_EQ(CardData::Stream("PRINT:\x1b!\x01"
                               "CARD"),
              "<data: 13 bytes>");
    EXPECT_EQ(CardData::Stream("ENDTR"), "ENDTR");
    EXPECT_EQ(CardData::Stream("PRINT:CARD 4276123456781234"), "PRINT:CARD 427612******1234");
    // The rest of a frame split by the line: a packed card number whose
    // bytes all happen to be printable ("BvUUEg48").
    EXPECT_EQ(CardData::Stream("\x42\x76\x55\x55\x45\x67\x34\x38"), "<data: 8 bytes>");
    EXPECT_EQ(CardData::Stream("APPROVED 4276123456781234"), "<data: 25 bytes>");
}

}  // namespace
