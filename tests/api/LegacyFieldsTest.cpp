// The fields of the two authorization structures against their documented
// offsets and widths: which tag each input field sets, how many bytes each
// output field receives, and that no copy leaves the caller's size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "api/DARirImpl.h"
#include "api/LegacyFields.h"
#include "api/LegacyRecord.h"
#include "config/Tags.h"
#include "support/TempDir.h"

namespace {

using legacy_fields::Form;

struct Expected {
    const char* tag;
    std::size_t offset;
    std::size_t width;
    bool digits;
};

const std::vector<Expected> kShortIn = {
    {"rfu", 12, 60, false},
    {"pan", 72, 20, false},
    {"expiry", 92, 5, true},
    {"amount", 197, 13, false},
    {"original_amount", 210, 13, true},
    {"currency", 223, 4, false},
    {"terminal_id", 227, 9, false},
    {"rrn", 236, 13, false},
    {"auth_code", 249, 9, false},
    {"response_code", 258, 4, false},
    {"date", 342, 7, false},
    {"time", 349, 7, false},
    {"received_text_message", 506, 80, false},
    {"enc_data", 912, 64, false},
};

const std::vector<Expected> kShortOut = {
    {"rfu", 12, 60, false},
    {"pan", 72, 20, false},
    {"expiry", 92, 5, true},
    {"result_amount", 197, 12, true},
    {"original_amount", 210, 13, true},
    {"terminal_id", 227, 9, false},
    {"rrn", 236, 13, false},
    {"auth_code", 249, 9, false},
    {"response_code", 258, 3, false},
    {"card_type", 262, 80, false},
    {"received_text_message", 506, 80, false},
    {"text_message", 586, 80, false},
    {"aid", 666, 79, true},
    {"application_label", 746, 80, false},
    {"tvr", 826, 79, true},
    {"result_enc_data", 912, 64, false},
};

const std::vector<Expected> kFullIn = {
    {"rfu", 12, 60, false},
    {"pan", 72, 20, false},
    {"expiry", 92, 5, true},
    {"amount", 197, 13, false},
    {"original_amount", 210, 13, true},
    {"currency", 223, 4, false},
    {"terminal_id", 227, 9, false},
    {"rrn", 236, 13, false},
    {"auth_code", 249, 9, false},
    {"response_code", 258, 4, false},
    {"date", 342, 7, false},
    {"time", 349, 7, false},
    {"received_text_message", 506, 80, false},
    {"enc_data", 1171, 64, false},
    {"trace_id", 1474, 61, false},
    {"original_date_time", 1535, 13, true},
    {"transaction_id", 1806, 19, false},
    {"cash_amount", 2985, 14, false},
};

const std::vector<Expected> kFullOut = {
    {"rfu", 12, 59, false},
    {"pan", 72, 19, false},
    {"expiry", 92, 4, true},
    {"result_amount", 197, 12, true},
    {"original_amount", 210, 12, true},
    {"currency", 223, 3, false},
    {"terminal_id", 227, 8, false},
    {"rrn", 236, 12, false},
    {"auth_code", 249, 8, false},
    {"response_code", 258, 4, false},
    {"card_type", 262, 79, false},
    {"date", 342, 6, true},
    {"time", 349, 6, true},
    {"received_text_message", 506, 79, false},
    {"text_message", 586, 79, false},
    {"aid", 666, 79, true},
    {"application_label", 746, 79, false},
    {"tvr", 826, 79, true},
    {"result_enc_data", 1171, 64, false},
    {"trace_id", 1474, 60, false},
    {"original_date_time", 1535, 12, true},
    {"transaction_id", 1806, 19, false},
    {"cash_amount", 2985, 13, false},
    {"bank_id", 2999, 19, false},
};

class LegacyFieldsTest : public ::testing::Test {
protected:
    LegacyFieldsTest() : cwd_(dir_.Path()) {}

    // Fills every input field whole: text with a letter of its own, digit
    // fields with digits; then checks the tag each one set.
    void CheckInputs(const std::vector<Expected>& expected,
                     const std::vector<legacy_fields::Field>& fields, std::size_t size) {
        std::vector<unsigned char> bytes(size, 0);
        char letter = 'A';
        for (const Expected& field : expected) {
            for (std::size_t i = 0; i < field.width; ++i)
                bytes[field.offset + i] = field.digits ? '1' + i % 9 : letter;
            ++letter;
        }
        LegacyRecord record(bytes.data(), size);
        legacy_fields::CopyIn(session_, record, fields, Form::Text);
        legacy_fields::CopyIn(session_, record, fields, Form::Digits);
        letter = 'A';
        for (const Expected& field : expected) {
            const std::string text(reinterpret_cast<const char*>(&bytes[field.offset]),
                                   field.width);
            if (field.digits) {
                const std::string even = field.width % 2 ? "0" + text : text;
                EXPECT_EQ(legacy_fields::Value(session_, field.tag, Tags::TAG_BCD), even)
                    << field.tag;
            } else {
                EXPECT_EQ(legacy_fields::Value(session_, field.tag, Tags::TAG_TEXT), text)
                    << field.tag;
            }
            ++letter;
        }
    }

    // Gives one output tag at a time a long value and checks which bytes of a
    // structure filled with a marker byte change: exactly the field's first
    // width bytes.
    void CheckOutputs(const std::vector<Expected>& expected,
                      const std::vector<legacy_fields::Field>& fields, std::size_t size) {
        const std::string raw(100, '\x12');
        for (const Expected& field : expected) {
            session_.Clear();
            session_.Set(field.tag, raw.data(), static_cast<int>(raw.size()), Tags::TAG_TEXT);
            std::vector<unsigned char> bytes(size, 0xEE);
            LegacyRecord record(bytes.data(), size);
            legacy_fields::CopyOut(session_, record, fields);
            std::size_t first = size, changed = 0;
            for (std::size_t i = 0; i < size; ++i) {
                if (bytes[i] == 0xEE) continue;
                if (first == size) first = i;
                ++changed;
            }
            EXPECT_EQ(first, field.offset) << field.tag;
            EXPECT_EQ(changed, field.width) << field.tag;
            EXPECT_EQ(bytes[field.offset], field.digits ? '1' : 0x12) << field.tag;
        }
    }

    TempDir dir_;
    WorkingDir cwd_;
    DARirImpl session_;
};

TEST_F(LegacyFieldsTest, ShortStructureInputsSetTheirTags) {
    CheckInputs(kShortIn, legacy_fields::kShortInputs, sizeof(UserAuthInt));
}

TEST_F(LegacyFieldsTest, ShortStructureOutputsHaveTheirWidths) {
    CheckOutputs(kShortOut, legacy_fields::kShortOutputs, sizeof(UserAuthInt));
}

TEST_F(LegacyFieldsTest, FullStructureInputsSetTheirTags) {
    CheckInputs(kFullIn, legacy_fields::kFullInputs, sizeof(UserAuthIntFull));
}

TEST_F(LegacyFieldsTest, FullStructureOutputsHaveTheirWidths) {
    CheckOutputs(kFullOut, legacy_fields::kFullOutputs, sizeof(UserAuthIntFull));
}

TEST_F(LegacyFieldsTest, DigitFieldsShorterThanTheirWidthPackUnshifted) {
    UserAuthInt auth{};
    std::memcpy(auth.expiry, "2512", 4);
    LegacyRecord record(&auth, sizeof auth);
    legacy_fields::CopyIn(session_, record, legacy_fields::kShortInputs, Form::Digits);
    EXPECT_EQ(legacy_fields::Value(session_, "expiry", Tags::TAG_BCD), "2512");
}

TEST_F(LegacyFieldsTest, NumbersGoInAndComeBackAsGiven) {
    UserAuthIntFull auth{};
    auth.receipt_number = 12;
    auth.loyalty_code = 123;
    LegacyRecord record(&auth, sizeof auth);
    legacy_fields::CopyNumbersIn(session_, record);
    EXPECT_EQ(legacy_fields::Value(session_, "receipt_number", Tags::TAG_INT16), "12");
    auth.receipt_number = 0;
    auth.loyalty_code = 0;
    legacy_fields::CopyNumbersOut(session_, record);
    EXPECT_EQ(static_cast<int>(auth.receipt_number), 12);
    EXPECT_EQ(static_cast<unsigned>(auth.loyalty_code), 123u);  // read by value: unaligned
}

TEST_F(LegacyFieldsTest, NumbersThatDoNotParseLeaveTheFields) {
    session_.Set("loyalty_code", "12x", 3, Tags::TAG_TEXT);
    UserAuthIntFull auth{};
    auth.receipt_number = 7;
    auth.loyalty_code = 9;
    LegacyRecord record(&auth, sizeof auth);
    legacy_fields::CopyNumbersOut(session_, record);
    EXPECT_EQ(static_cast<int>(auth.receipt_number), 7);
    EXPECT_EQ(static_cast<unsigned>(auth.loyalty_code), 9u);  // read by value: unaligned
}

TEST(LegacyRecordTest, ReadsAndWritesStayInsideTheSize) {
    unsigned char bytes[16];
    std::memset(bytes, 'x', sizeof bytes);
    LegacyRecord record(bytes, 10);
    EXPECT_EQ(record.Text(6, 4), "xxxx");
    EXPECT_EQ(record.Text(6, 8), "") << "a field cut by the size is not read";
    EXPECT_EQ(record.Text(12, 2), "");
    record.Put(8, 5, "ABCDE");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 16), "xxxxxxxxABxxxxxx");
    std::uint32_t number = 0;
    EXPECT_FALSE(record.Read(8, &number));
    record.Write<std::uint32_t>(8, 0);
    EXPECT_EQ(bytes[8], 'A');
    EXPECT_TRUE(record.Read(4, &number));
}

}  // namespace
