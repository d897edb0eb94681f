// Operations handed to the bank agent library through a session, with the
// test agent answering from its script.
#include <gmock/gmock.h>

#include <cstdio>
#include <string>

#include "BankFixture.h"

namespace {

using ::testing::HasSubstr;

TEST_F(BankTest, PaymentCallsAuthorisationWithTheAmountAndStoresTheAnswer) {
    Script(
        "result=0\nresponse_code=00\nmessage=APPROVED\ncard_type=1\nauth_code=A1B2C3\n"
        "pan=4276********1234\nreceipt=42\nrrn=412345678901\n");
    DARirSet(pos_, "amount", "1500", -1);
    EXPECT_EQ(Run(1), 0);
    EXPECT_EQ(Read("agent.calls"),
              "card_authorize6 first=null operation=1 amount=1500 answer=clear\n");
    EXPECT_EQ(Get("response_code"), "00");
    EXPECT_EQ(Get("text_message"), "APPROVED");
    EXPECT_EQ(Get("card_type"), "Visa");
    EXPECT_EQ(Get("auth_code"), "A1B2C3");
    EXPECT_EQ(Get("pan"), "4276********1234");
    EXPECT_EQ(Get("rrn"), "412345678901");
    // Read back as the 16-bit number the session keeps it as.
    EXPECT_EQ(Get("receipt_number"), "42");
    EXPECT_THAT(Read("darir.log"), HasSubstr("DLL VER: [010203]"));
    EXPECT_THAT(Read("darir.log"), HasSubstr("BankAgent: result: [0]"));
}

TEST_F(BankTest, CloseOfDayCallsCloseDayWithTheSameRecord) {
    Script("result=3\nresponse_code=05\nmessage=DECLINED\n");
    DARirSet(pos_, "amount", "77", -1);
    EXPECT_EQ(Run(7), 3);
    EXPECT_EQ(Read("agent.calls"), "close_day first=null operation=7 amount=77 answer=clear\n");
    EXPECT_EQ(Get("response_code"), "05");
    EXPECT_EQ(Get("text_message"), "DECLINED");
}

// Each full field is followed by bytes that are no zero (the card type 'AAAA',
// the agent's own bytes), so reading past a field would show.
TEST_F(BankTest, FieldsFilledToTheirWholeWidthAreNotReadBeyond) {
    Script(
        "response_code=123\nmessage=ABCDEFGHIJKLMNOP\ncard_type=1094795585\n"
        "auth_code=1234567\npan=1234567890123456789012345\nprivate=ZZZZZZZZZZZZZZZZZZZZZZZZ\n"
        "rrn=1234567890123\n");
    EXPECT_EQ(Run(1), 0);
    EXPECT_EQ(Get("response_code"), "123");
    EXPECT_EQ(Get("text_message"), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(Get("auth_code"), "1234567");
    EXPECT_EQ(Get("pan"), "1234567890123456789012345");
    EXPECT_EQ(Get("rrn"), "1234567890123");
}

TEST_F(BankTest, CardTypesAreNamedAndUnknownOnesWarned) {
    const char* const names[] = {"Visa",   "Mastercard",   "Maestro",
                                 "Amex",   "DinersCLub",   "VisaElectron",
                                 "PRO100", "Cashier card", "BankCard"};
    for (int type = 1; type <= 9; ++type) {
        DARirClear(pos_);
        Script("card_type=" + std::to_string(type) + "\n");
        ASSERT_EQ(Run(1), 0);
        EXPECT_EQ(Get("card_type"), names[type - 1]) << type;
    }
    DARirClear(pos_);
    Script("card_type=12\n");
    ASSERT_EQ(Run(1), 0);
    EXPECT_EQ(Get("card_type"), "unknown");
    EXPECT_THAT(Read("darir.log"), HasSubstr("BankAgent: unknown card type: 12"));
    DARirClear(pos_);
    Script("card_type=0\n");
    ASSERT_EQ(Run(1), 0);
    EXPECT_EQ(Get("card_type"), "<none>");
}

TEST_F(BankTest, ReceiptNumberZeroStoresNoTag) {
    Script("receipt=0\nresponse_code=00\n");
    EXPECT_EQ(Run(1), 0);
    EXPECT_EQ(Get("receipt_number"), "<none>");
}

// The session keeps receipt numbers in 16 bits: 65535 is the largest, and
// 70000 would read back as 4464, another receipt's number.
TEST_F(BankTest, ReceiptNumberBeyondSixteenBitsStoresNoTag) {
    Script("receipt=65535\n");
    EXPECT_EQ(Run(1), 0);
    EXPECT_EQ(Get("receipt_number"), "65535");
    DARirClear(pos_);
    Script("receipt=70000\n");
    EXPECT_EQ(Run(1), 0);
    EXPECT_EQ(Get("receipt_number"), "<none>");
    EXPECT_THAT(Read("darir.log"), HasSubstr("BankAgent: receipt number out of range: 70000"));
}

TEST_F(BankTest, ChequeWithCrLfIsStoredAndWrittenWithLf) {
    Script("cheque=LINE ONE\\r\\nLINE TWO\\r\\n\\rEND\\n\n");
    EXPECT_EQ(Run(1), 0);
    EXPECT_EQ(Read("cheq.out"), "LINE ONE\nLINE TWO\n\rEND\n");
    EXPECT_EQ(Get("slip"), "LINE ONE\nLINE TWO\n\rEND\n");
}

TEST_F(BankTest, ChequeFileOfAnEarlierRunIsRemoved) {
    dir_.Write("cheq.out", "OLD SLIP\n");
    Script("response_code=00\n");
    EXPECT_EQ(Run(1), 0);
    EXPECT_FALSE(Exists("cheq.out"));
    dir_.Write("cheq.out", "OLD SLIP\n");
    EXPECT_EQ(Run(99), -1);
    EXPECT_FALSE(Exists("cheq.out")) << "a failed run must not leave the old slip";
}

TEST_F(BankTest, UnsupportedTypeIsRefused) {
    EXPECT_EQ(Run(5), -1);
    EXPECT_FALSE(Exists("agent.calls"));
    EXPECT_THAT(Read("darir.log"), HasSubstr("BankAgent: unsupported command type: [1]"));
}

TEST_F(BankTest, UnknownCodeIsRefusedBeforeTheAgentIsLoaded) {
    EXPECT_EQ(Run(99), -1);
    EXPECT_FALSE(Exists("agent.calls"));
    EXPECT_THAT(Read("darir.log"), HasSubstr("BankAgent: command not exist: 99"));
}

TEST_F(BankTest, MissingOperationFileIsReported) {
    std::remove((dir_ / "ops.ini").c_str());
    EXPECT_EQ(Run(1), -1);
    EXPECT_THAT(Read("darir.log"), HasSubstr("BankAgent: open OPS file fail, see debug log"));
}

// The same session where the loader finds no agent library, or one without
// "_close_day" (each in a program run of its own).
using BankLoaderTest = BankTest;

TEST_F(BankLoaderTest, MissingLibraryIsReported) {
    EXPECT_EQ(Run(1), -1);
    EXPECT_THAT(Read("darir.log"), HasSubstr("BankAgent: DLL not loaded: [libbankagent.so]"));
}

TEST_F(BankLoaderTest, MissingEntryPointIsReported) {
    EXPECT_EQ(Run(1), -1);
    EXPECT_FALSE(Exists("agent.calls"));
    EXPECT_THAT(Read("darir.log"), HasSubstr("BankAgent: function not loaded: [_close_day]"));
}

}  // namespace
