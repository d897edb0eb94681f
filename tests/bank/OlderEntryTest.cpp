// The older C++ entry points over the bank agent bridge: only amount and
// currency go in; values come back only when they fit their fields.
#include <cstring>
#include <string>

#include "BankFixture.h"

namespace {

TEST_F(BankTest, OlderEntryPointRunsWithAmountAndReadsBackWhatFits) {
    Script(
        "result=0\nresponse_code=00\ncard_type=2\nrrn=1234567890123\n"
        "pan=4276********1234\n");
    UserAuthInt auth{};
    auth.operation = 1;
    std::memcpy(auth.amount, "1234567890123", 13);  // no terminating zero
    std::memcpy(auth.original_amount, "99", 2);
    std::memcpy(auth.currency, "643", 3);
    std::memset(auth.rrn, 'R', sizeof auth.rrn);
    EXPECT_EQ(ProcessOw(static_cast<void*>(&auth)), 0);
    EXPECT_EQ(Read("agent.calls"),
              "card_authorize6 first=null operation=1 amount=1234567890123 answer=clear\n");
    EXPECT_EQ(std::string(auth.response_code, 3), std::string("00\0", 3));
    EXPECT_EQ(std::string(auth.card_type), "Mastercard");
    EXPECT_EQ(std::string(auth.pan, 16), "4276********1234");
    // 13 characters need a 14-byte buffer: the field keeps what it held.
    EXPECT_EQ(std::string(auth.rrn, 13), std::string(13, 'R'));
}

TEST_F(BankTest, OlderEntryPointWithSecondArgumentIgnoresIt) {
    Script("result=4\n");
    UserAuthInt auth{};
    auth.operation = 7;
    int unused = 0;
    EXPECT_EQ(ProcessOwEx(&auth, &unused), 4);
    EXPECT_EQ(Read("agent.calls"), "close_day first=null operation=7 amount=0 answer=clear\n");
    EXPECT_EQ(ProcessOw(static_cast<void*>(nullptr)), -1);
}

}  // namespace
