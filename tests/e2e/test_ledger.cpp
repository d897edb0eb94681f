// The ledger of operations through the real velrun against the virtual
// pinpad: what each kind of run leaves in it, read with SQLite's own shell
// and with "velrun --ledger"; a run killed in the middle of a payment and
// the next run's cancellation; retention; a ledger that cannot be written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Installation.h"
#include "support/ChildProcess.h"

namespace {

using velrun_test::ChildOptions;
using velrun_test::ChildResult;

const char kSqlite[] = "/usr/bin/sqlite3";
const char kFields[] = "operation, outcome, result_code, card_number, rrn, recovery";

// The ledger's rows as "field|field|..." lines, oldest first.
std::string Rows(const Installation& install, const std::string& fields = kFields) {
    ChildOptions sqlite;
    sqlite.program = kSqlite;
    sqlite.args = {"ledger.db", "SELECT " + fields + " FROM operations ORDER BY id"};
    sqlite.workDir = install.Path();
    const ChildResult result = velrun_test::runChild(sqlite);
    EXPECT_TRUE(result.exited && result.exitStatus == 0) << result.err;
    return result.out;
}

// One operation against a scenario; the emulator must have played it all.
ChildResult Play(Installation& install, const std::string& scenario,
                 const std::vector<std::string>& args) {
    std::string error;
    EXPECT_TRUE(install.StartPinpad(scenario, {}, false, &error)) << error;
    const ChildResult run = install.Velrun(args);
    const ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << install.Transcript();
    return run;
}

const std::vector<std::string> kPayment = {"--command", "1",          "--amount",
                                           "1500",      "--currency", "643"};

struct Kind {
    const char* name;
    const char* scenario;
    std::vector<std::string> args;
    // The row the run leaves, as Rows shows it.
    const char* row;
};

// A payment, a decline, a refund, a report of the day's totals and a run
// whose pinpad dropped the line after "BEGINTR:" each leave one completed
// record; only the card's masked number is kept of its data.
TEST(LedgerE2E, EachKindOfRunLeavesItsRecord) {
    const std::vector<std::string> refund = {"--command",  "3",   "--amount", "1500",
                                             "--currency", "643", "--rrn",    "412345678901"};
    const Kind kinds[] = {
        {"payment", "approved_payment.vps", kPayment,
         "1|approved|0|4276********1234|412345678901|"},
        {"decline", "declined_payment.vps", kPayment,
         "1|declined|51|4276********1234|412345678902|"},
        {"refund", "refund.vps", refund, "3|approved|0|4276********1234|412345678903|"},
        {"totals", "totals_long_slip.vps", {"--command", "12"}, "12|approved|0|||"},
        {"broken", "broken_after_begintr.vps", kPayment, "1|interrupted|999|||"},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        Installation install;
        const ChildResult run = Play(install, kind.scenario, kind.args);
        ASSERT_TRUE(run.exited) << run.err;
        EXPECT_EQ(Rows(install), std::string(kind.row) + "\n");
        // Times, duration and the operation's name are filled in.
        EXPECT_EQ(Rows(install, "started < ended, duration_ms >= 0, length(operation_name) > 0"),
                  "1|1|1\n");
        const ChildResult listed = install.Velrun({"--ledger"});
        EXPECT_EQ(listed.exitStatus, 0) << listed.err;
        EXPECT_NE(listed.out.find(std::string("run=1 ")), std::string::npos) << listed.out;
        const ChildResult json = install.Velrun({"--ledger", "5", "--json"});
        EXPECT_EQ(json.out.rfind("[\n{\"run\":1,", 0), 0u) << json.out;
    }
}

// A run killed while the pinpad holds a transaction open leaves a pending
// record; the next run marks it interrupted, cancels the transaction under
// a record of its own and notes the cancellation on it.
TEST(LedgerE2E, KilledPaymentIsInterruptedAndCancelledByTheNextRun) {
    Installation install;
    const std::string scenario = install / "held.vps";
    install.Write("held.vps",
                  "expect-start 1 1 643 15.00 \"\" \"\"\nsend \"BEGINTR:\"\nexpect OK\n"
                  "pause 20000\n");
    std::string error;
    ASSERT_TRUE(install.StartPinpad(scenario, {}, false, &error)) << error;
    velrun_test::ChildProcess payment(install.Payment());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (install.Read("lastop.stb") != std::string(1, '\x01') &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(install.Read("lastop.stb"), std::string(1, '\x01'));
    payment.sendSignal(SIGKILL);
    payment.finish(std::chrono::seconds(10));
    install.StopPinpad();
    EXPECT_EQ(Rows(install), "1|pending||||\n");

    const ChildResult next = Play(install, "recovery_cancel.vps", kPayment);
    EXPECT_NE(next.out.find("success=1"), std::string::npos) << next.out;
    EXPECT_EQ(Rows(install),
              "1|interrupted||||cancelled by run 3\n"
              "1|approved|0||412345678904|\n"
              "2|cancelled on recovery|0|||\n");
    const ChildResult listed = install.Velrun({"--ledger", "1"});
    EXPECT_EQ(listed.out.find("run=3 "), 0u) << listed.out;
}

// Records older than the days kept, and beyond the count kept, go when the
// next record is stored.
TEST(LedgerE2E, RetentionPrunesByAgeAndCount) {
    Installation install({"LEDGER_DAYS=30", "LEDGER_MAX_RECORDS=2"});
    Play(install, "approved_payment.vps", kPayment);
    ChildOptions old;
    old.program = kSqlite;
    old.workDir = install.Path();
    old.args = {"ledger.db",
                "INSERT INTO operations(started, operation, outcome)"
                " VALUES('2020-01-01T00:00:00.000Z', 7, 'approved')"};
    ASSERT_EQ(velrun_test::runChild(old).exitStatus, 0);
    Play(install, "declined_payment.vps", kPayment);
    EXPECT_EQ(Rows(install, "id, outcome"), "1|approved\n3|declined\n");
    Play(install, "approved_payment.vps", kPayment);
    EXPECT_EQ(Rows(install, "id, outcome"), "3|declined\n4|approved\n");
}

// A ledger that cannot be written stops the run before the pinpad hears of
// it, with the file named; "NO_LEDGER" turns the ledger off.
TEST(LedgerE2E, UnwritableLedgerStopsTheRunAndNoLedgerMeansNone) {
    Installation blocked;
    ASSERT_EQ(mkdir((blocked / "ledger.db").c_str(), 0750), 0);
    const ChildResult refused = blocked.Velrun(kPayment);
    EXPECT_NE(refused.out.find("success=0"), std::string::npos) << refused.out;
    EXPECT_NE(refused.out.find("ledger.db"), std::string::npos) << refused.out;
    EXPECT_NE(blocked.Logs().find("ERROR: ledger ["), std::string::npos) << blocked.Logs();
    EXPECT_EQ(blocked.Read("lastop.stb"), "");

    Installation off({"NO_LEDGER"});
    Play(off, "approved_payment.vps", kPayment);
    struct stat status {};
    EXPECT_NE(stat((off / "ledger.db").c_str(), &status), 0);
    EXPECT_EQ(off.Velrun({"--ledger"}).exitStatus, 2);
    EXPECT_EQ(off.Velrun({"--ledger", "0"}).exitStatus, 1);
}

}  // namespace
