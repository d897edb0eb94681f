// What velrun prints for a run, a failed run, a refused tag and a missing session.
#include <gtest/gtest.h>

#include "VelrunFixture.h"

namespace velrun_test {
namespace {

using Strings = std::vector<std::string>;

TEST_F(VelrunTest, RunWithoutSettingsFailsAndPrintsAllEightLines) {
    const auto r = runChild(plain({"--command", "1", "--amount", "100"}));
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    const auto codeAt = r.out.find("code=");
    ASSERT_NE(codeAt, std::string::npos) << r.out;
    const int code = std::stoi(r.out.substr(codeAt + 5));
    EXPECT_LT(code, 0);
    EXPECT_NE(r.err.find("Команда 1. Результат выполнения: " + std::to_string(code) + "\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(countOf(r.out, "\n"), 8u) << r.out;
    for (const char* key : {"authorizationCode=", "cardNumber=", "cardType=", "message=", "rrn=",
                            "success=0\n", "terminalId="}) {
        EXPECT_NE(r.out.find(key), std::string::npos) << key;
    }
}

TEST_F(VelrunTest, TransactionIdStandsForRrnAndRrnIsThenNotRead) {
    const auto r = runChild(withShim(
        {"--command", "1"},
        {"VELRUN_SHIM_RUN=result:0",
         "VELRUN_SHIM_TAGS=transaction_id=TX77;rrn=R9;text_message=Одобрено;pan=4000****0002;"
         "card_type=DEBIT;receipt_number=42;terminal_id=T0000001"}));
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, resultLines("42", "4000****0002", "DEBIT", 0, "Одобрено", "TX77", "T0000001"));
    EXPECT_EQ(callsStartingWith("size "),
              (Strings{"size transaction_id -1", "size text_message -1", "size pan -1",
                       "size card_type -1", "size receipt_number -1", "size terminal_id -1"}));
    EXPECT_EQ(r.err, "Команда 1. Результат выполнения: 0\n");
}

TEST_F(VelrunTest, WithoutTransactionIdTheRrnTagIsPrinted) {
    const auto r = runChild(
        withShim({"--command", "2"}, {"VELRUN_SHIM_RUN=result:-7", "VELRUN_SHIM_TAGS=rrn=R9"}));
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, resultLines("", "", "", -7, "", "R9", ""));
    EXPECT_NE(r.err.find("Команда 2. Результат выполнения: -7\n"), std::string::npos);
    EXPECT_EQ(callsStartingWith("size rrn").size(), 1u);
}

TEST_F(VelrunTest, UnreadableTagGivesAnEmptyValue) {
    const auto r = runChild(withShim(
        {"--command", "1"}, {"VELRUN_SHIM_RUN=result:0", "VELRUN_SHIM_TAGS=pan=1234;rrn=R1",
                             "VELRUN_SHIM_EMPTY_GET=pan"}));
    EXPECT_EQ(r.out, resultLines("", "", "", 0, "", "R1", ""));
    EXPECT_NE(r.err.find("Параметр pan не получен\n"), std::string::npos) << r.err;
}

// A value holding line breaks stays on its own line, so it cannot add a
// "success" or "code" of its own; a card number sent in full is masked.
TEST_F(VelrunTest, ValuesStayOnOneLineAndTheCardNumberIsMasked) {
    const auto r = runChild(
        withShim({"--command", "1"},
                 {"VELRUN_SHIM_RUN=result:51",
                  "VELRUN_SHIM_TAGS=terminal_id=00012345\nsuccess=1\ncode=0;pan=4276123456781234;"
                  "text_message=line\r\x7F\tend"}));
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, resultLines("", "427612******1234", "", 51, "line   end", "",
                                 "00012345 success=1 code=0"));
}

TEST_F(VelrunTest, ShortAndMaskedCardNumbersKeepTheirShape) {
    for (const auto& [sent, shown] :
         std::vector<std::pair<std::string, std::string>>{{"4276****1234", "4276****1234"},
                                                          {"42761234567", "*******4567"},
                                                          {"4276********1234", "4276********1234"},
                                                          {"1234567", "*******"},
                                                          {"D12345", "D*****"}}) {
        const auto r = runChild(withShim(
            {"--command", "1"}, {"VELRUN_SHIM_RUN=result:0", "VELRUN_SHIM_TAGS=pan=" + sent}));
        EXPECT_EQ(r.out, resultLines("", shown, "", 0, "", "", "")) << sent;
    }
}

TEST_F(VelrunTest, RefusedTagStopsBeforeTheRun) {
    const auto r = runChild(withShim({"-c", "1", "-v", "643", "-a", "100", "-r", "1"},
                                     {"VELRUN_SHIM_FAIL_SET=currency"}));
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out,
              "message=Невозможно выполнить команду: ошибка установки параметра\nsuccess=0\n");
    EXPECT_EQ(r.err, "Ошибка установки параметра currency для выполнения команды\n");
    EXPECT_EQ(calls(), (Strings{"create", "set amount=100 -1", "set currency=643 -1", "delete"}));
}

TEST_F(VelrunTest, MissingSessionIsReportedAndTheNullHandleReleased) {
    const auto r = runChild(withShim({"-c", "1", "-a", "1"}, {"VELRUN_SHIM_NULL_SESSION=1"}));
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "message=Невозможно выполнить команду\nsuccess=0\n");
    EXPECT_EQ(r.err, "Ошибка создания объекта DARir для выполнения команды\n");
    EXPECT_EQ(calls(), (Strings{"create", "delete null"}));
}

}  // namespace
}  // namespace velrun_test
