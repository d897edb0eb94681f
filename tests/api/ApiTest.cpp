// The exported functions as a foreign caller uses them, through velpad.h only.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "ApiFixture.h"

namespace api_test {
namespace {

TEST(ApiNullSession, EveryFunctionAnswersANullSession) {
    char buffer[8] = {};
    EXPECT_EQ(DARirRun(nullptr, 1), -2);
    EXPECT_EQ(DARirRunCmd(nullptr, "TEST", "", 0), -1);
    EXPECT_EQ(DARirSet(nullptr, "amount", "1", -1), -2);
    EXPECT_EQ(DARirGet(nullptr, "amount", buffer, sizeof buffer), -2);
    DARirClear(nullptr);
    DeleteDARir(nullptr);
    Stop(nullptr);  // no legacy call in progress: nothing to stop
}

TEST_F(ApiTest, NullKeyEmptyKeyAndKeyLength) {
    char buffer[8] = {};
    EXPECT_EQ(DARirGet(pos_, nullptr, buffer, sizeof buffer), -3);
    EXPECT_EQ(DARirSet(pos_, "", "x", -1), -1);
    EXPECT_EQ(DARirSet(pos_, nullptr, "x", -1), -1);

    const std::string longest(499, 'k');
    const std::string tooLong(500, 'k');
    EXPECT_EQ(DARirSet(pos_, longest.c_str(), "v", -1), 0);
    EXPECT_EQ(get(longest.c_str()), "v");
    EXPECT_EQ(DARirSet(pos_, tooLong.c_str(), "v", -1), -1);
    EXPECT_EQ(DARirGet(pos_, tooLong.c_str(), nullptr, -1), -1);
}

TEST_F(ApiTest, SizeQueryAndBufferBounds) {
    ASSERT_EQ(DARirSet(pos_, "terminal_id", "12345", -1), 0);
    EXPECT_EQ(DARirGet(pos_, "terminal_id", nullptr, -1), 6);

    char small[5] = {'X', 'X', 'X', 'X', 'X'};
    EXPECT_EQ(DARirGet(pos_, "terminal_id", small, sizeof small), -1);

    char exact[6] = {'X', 'X', 'X', 'X', 'X', 'X'};
    EXPECT_EQ(DARirGet(pos_, "terminal_id", exact, sizeof exact), 5);
    EXPECT_EQ(std::string(exact, 5), "12345");
    EXPECT_EQ(exact[5], 'X') << "no terminating zero is written";

    EXPECT_EQ(DARirGet(pos_, "pan", nullptr, -1), 1) << "a value never set is empty";
}

TEST_F(ApiTest, ExplicitSizesKeepZeroBytesAndCut) {
    EXPECT_EQ(DARirSet(pos_, "card_type", "ab\0cd", 5), 0);
    EXPECT_EQ(get("card_type"), std::string("ab\0cd", 5));
    EXPECT_EQ(DARirSet(pos_, "terminal_id", "12345678", 3), 0);
    EXPECT_EQ(get("terminal_id"), "123");
    EXPECT_EQ(DARirSet(pos_, "terminal_id", "ignored", 0), 0);
    EXPECT_EQ(DARirGet(pos_, "terminal_id", nullptr, -1), 1);
}

// With the session's trace at its fullest level every value is logged; a
// value given with its size and no terminating zero is read only that far
// (the sanitizer build catches a read past the buffer).
TEST_F(ApiTest, UnterminatedValueIsNeverReadPastItsSize) {
    std::ofstream("darir.ini") << "[Settings]\nLogType=6\nConsole=0\n";
    DARir* traced = CreateDARir();
    const std::unique_ptr<char[]> value(new char[3]{'a', 'b', 'c'});
    EXPECT_EQ(DARirSet(traced, "terminal_id", value.get(), 3), 0);
    char copy[4] = {};
    EXPECT_EQ(DARirGet(traced, "terminal_id", copy, sizeof(copy)), 3);
    EXPECT_STREQ(copy, "abc");
    DeleteDARir(traced);
}

TEST_F(ApiTest, KeyClassesDecideTheStoredForm) {
    // Hexadecimal keys store the hexadecimal text of the bytes given and
    // read the stored bytes as hexadecimal text again.
    ASSERT_EQ(DARirSet(pos_, "tvr", "AB", -1), 0);
    EXPECT_EQ(get("tvr"), "34313432");
    // Integer keys keep the low 16 bits and read back unsigned.
    ASSERT_EQ(DARirSet(pos_, "receipt_number", "42", -1), 0);
    EXPECT_EQ(get("receipt_number"), "42");
    ASSERT_EQ(DARirSet(pos_, "receipt_number", "70000", -1), 0);
    EXPECT_EQ(get("receipt_number"), "4464");
    ASSERT_EQ(DARirSet(pos_, "entry_mode", "-1", -1), 0);
    EXPECT_EQ(get("entry_mode"), "65535");
    // The BCD key is packed on the way in and read back as the stored bytes.
    ASSERT_EQ(DARirSet(pos_, "original_amount", "12345", -1), 0);
    EXPECT_EQ(get("original_amount"), std::string("\x01\x23\x45", 3));
    // Other dictionary keys and free parameters travel unchanged.
    ASSERT_EQ(DARirSet(pos_, "terminal_id", "AB", -1), 0);
    EXPECT_EQ(get("terminal_id"), "AB");
    ASSERT_EQ(DARirSet(pos_, "PORT", "ETH", -1), 0);
    EXPECT_EQ(get("PORT"), "ETH");
}

TEST_F(ApiTest, ClearEmptiesTagsAndParameters) {
    ASSERT_EQ(DARirSet(pos_, "amount", "100", -1), 0);
    ASSERT_EQ(DARirSet(pos_, "PORT", "ETH", -1), 0);
    DARirClear(pos_);
    EXPECT_EQ(DARirGet(pos_, "amount", nullptr, -1), 1);
    EXPECT_EQ(DARirGet(pos_, "PORT", nullptr, -1), 1);
    ASSERT_EQ(DARirSet(pos_, "amount", "200", -1), 0);
    EXPECT_EQ(get("amount"), "200");
}

TEST_F(ApiTest, SessionsAreIndependentAndStopOnIdleDoesNothing) {
    DARir* other = GetDARir();
    ASSERT_NE(other, nullptr);
    ASSERT_NE(other, pos_);
    ASSERT_EQ(DARirSet(pos_, "amount", "100", -1), 0);
    EXPECT_EQ(DARirGet(other, "amount", nullptr, -1), 1);
    Stop(other);
    Stop(nullptr);
    DeleteDARir(other);
    EXPECT_EQ(get("amount"), "100");
}

TEST_F(ApiTest, RunWithoutSettingsFailsAndKeepsTheInputs) {
    ASSERT_EQ(DARirSet(pos_, "amount", "100", -1), 0);
    const int rc = DARirRun(pos_, 1);
    EXPECT_NE(rc, 0);
    EXPECT_EQ(get("amount"), "100");
}

}  // namespace
}  // namespace api_test
