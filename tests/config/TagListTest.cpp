#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "config/Tags.h"
#include "support/TempDir.h"
#include "support/TestTrace.h"

namespace {

std::string Bytes(std::initializer_list<int> list) {
    std::string out;
    for (int b : list) out += static_cast<char>(b);
    return out;
}

TEST(TagList, ParsesShortAndLongTags) {
    Tags tags;
    tags.Parse(Bytes({0x5A, 0x02, 0x12, 0x34, 0x9F, 0x02, 0x01, 0x07}));
    EXPECT_EQ("1234", tags.Get("pan", Tags::TAG_HEX));
    EXPECT_EQ("07", tags.Get("result_amount", Tags::TAG_HEX));

    tags.Parse(Bytes({0x1F, 0x81, 0x2E, 0x01, 'T', 0xA1, 0xA1, 0x01, 'E', 0x1F, 0x80, 0x04, 0x01,
                      'I', 0x1F, 0x03, 0x01, 'R'}));
    EXPECT_EQ("T", tags.Get("trace_id"));
    EXPECT_EQ("E", tags.Get("result_enc_data"));
    EXPECT_EQ("I", tags.Get("info_dialog"));
    EXPECT_EQ("R", tags.Get("rrn"));
    EXPECT_EQ("1234", tags.Get("pan", Tags::TAG_HEX));  // earlier tags stay
}

TEST(TagList, ParseReplacesRepeatedTags) {
    Tags tags;
    tags.Add("pan", "old");
    tags.Parse(Bytes({0x5A, 0x01, 'a', 0x5A, 0x01, 'b'}));
    EXPECT_EQ("b", tags.Get("pan"));
}

// What a list itself carried, apart from what the store already held: the
// last whole item counts, an item without value or cut short does not.
TEST(TagList, ValueInReadsTheListNotTheStore) {
    const std::string list =
        Bytes({0x5A, 0x02, 0x12, 0x34, 0x9F, 0x02, 0x00, 0x5A, 0x01, 0x56, 0x1F, 0x03, 0x05, 'R'});
    EXPECT_EQ("\x56", Tags::ValueIn(list, "pan"));
    EXPECT_EQ("", Tags::ValueIn(list, "result_amount"));
    EXPECT_EQ("", Tags::ValueIn(list, "rrn"));
    EXPECT_EQ("", Tags::ValueIn(list, "no_such_name"));
    EXPECT_EQ("", Tags::ValueIn("", "pan"));
}

TEST(TagList, LengthsWithoutValueSkipOnlyTheTag) {
    Tags tags;
    tags.Parse(Bytes({0x5A, 0x00, 0x57, 0x01, 0x41}));
    EXPECT_EQ("", tags.Get("pan"));
    EXPECT_EQ("A", tags.Get("track2_data"));

    Tags other;
    other.Parse(Bytes({0x5A, 0x81, 0x57, 0x01, 0x41}));  // 0x81 reads as negative
    EXPECT_EQ("", other.Get("pan"));
    EXPECT_EQ("A", other.Get("track2_data"));
}

TEST(TagList, TruncatedListKeepsOnlyWholeItems) {
    const std::string list = Bytes({0x5A, 0x02, 0x12, 0x34,          // ends at 4
                                    0x9F, 0x1C, 0x02, 0x41, 0x42,    // ends at 9
                                    0x1F, 0x81, 0x2E, 0x01, 0x54});  // ends at 14
    for (std::size_t cut = 0; cut <= list.size(); ++cut) {
        Tags tags;
        tags.Parse(list.substr(0, cut));
        EXPECT_EQ(cut >= 4, !tags.Get("pan").empty()) << cut;
        EXPECT_EQ(cut >= 9, !tags.Get("terminal_id").empty()) << cut;
        EXPECT_EQ(cut >= 14, !tags.Get("trace_id").empty()) << cut;
    }
    Tags tags;
    tags.Parse(Bytes({0x5A, 0x05, 0x12, 0x34}));
    EXPECT_EQ("", tags.Make());
}

TEST(TagList, RandomBytesNeverBreakTheReader) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string data(random() % 40, '\0');
        for (char& c : data) c = static_cast<char>(random());
        Tags tags;
        tags.Parse(data);
        tags.Parse(tags.Make());  // whatever was read writes back readable
    }
}

TEST(TagList, EveryDictionaryTagRoundTrips) {
    const std::vector<std::string> names = {"aid",
                                            "application_label",
                                            "track2_data",
                                            "pan",
                                            "auth_code",
                                            "tvr",
                                            "tsi",
                                            "rrn",
                                            "receipt_number",
                                            "original_amount",
                                            "time",
                                            "date",
                                            "entry_mode",
                                            "day_totals",
                                            "transaction_id",
                                            "datetimehost",
                                            "card_type",
                                            "auth_code_source",
                                            "merchant_id",
                                            "track1_data",
                                            "terminal_idx",
                                            "loyalty_track2",
                                            "cardholder_name",
                                            "expiry",
                                            "result_amount",
                                            "mcc",
                                            "terminal_id",
                                            "result_enc_data",
                                            "info_dialog",
                                            "symbol_action",
                                            "loyalty_code",
                                            "payment_data",
                                            "trace_id",
                                            "original_date_time",
                                            "cardholder_id_type",
                                            "loyalty_card_number",
                                            "original_oper_type",
                                            "bms_id",
                                            "cash_amount",
                                            "qr_pay_sys_id",
                                            "mv_loyalty_code",
                                            "bank_id",
                                            "qrc_id",
                                            "qr_payload",
                                            "qr_transaction_id"};
    std::mt19937 random(7);
    Tags sent;
    for (const auto& name : names) {
        std::string value(1 + random() % 127, '\0');
        for (char& c : value) c = static_cast<char>(random());
        sent.Add(name, value);
    }
    sent.Add("amount", "100");
    Tags received;
    received.Parse(sent.Make());
    for (const auto& name : names) {
        EXPECT_EQ(sent.Get(name, Tags::TAG_HEX), received.Get(name, Tags::TAG_HEX)) << name;
    }
    EXPECT_EQ("", received.Get("amount"));
}

TEST(TagList, OverlongValueIsLeftOutAndReported) {
    TestTrace();
    Tags tags;
    tags.Add("pan", std::string(128, 'x'));
    tags.Add("terminal_id", "1");
    EXPECT_EQ(Bytes({0x9F, 0x1C, 0x01, '1'}), tags.Make());
    EXPECT_NE(std::string::npos, TestTraceText().find("tag pan holds 128 bytes"));
    tags.Add(std::uint64_t{0x1F1234}, std::string(200, 'z'));
    EXPECT_EQ(Bytes({0x9F, 0x1C, 0x01, '1'}), tags.Make());
    EXPECT_NE(std::string::npos, TestTraceText().find("tag 0x1F1234 holds 200 bytes"));

    tags.Add("pan", std::string(127, 'y'));
    Tags received;
    received.Parse(tags.Make());
    EXPECT_EQ(std::string(127, 'y'), received.Get("pan"));
}

}  // namespace
