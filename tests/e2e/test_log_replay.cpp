// A shop's run replayed on a desk from its engine log: velrun runs an
// operation against the virtual pinpad, "vpinpad --from-log" turns the log
// of that run into a scenario, and velrun runs the same operation in a fresh
// installation against the virtual pinpad playing that scenario. The pinpad
// sees every reply it expects, velrun prints what it printed the first time,
// and the host's side of the link in the new log is the old one (the bank's
// port aside), for runs that ended and runs that broke off.
#include <gtest/gtest.h>

#include <sstream>

#include "Installation.h"

namespace {

using velrun_test::ChildOptions;
using velrun_test::ChildResult;

struct Replay {
    const char* name;
    const char* scenario;
    std::vector<std::string> settings;
    std::vector<std::string> args;  // velrun's; a payment of 15.00 when empty
    bool openTransaction;           // an earlier run left its transaction open
    std::vector<std::string> made;  // what the scenario made from the log holds
};

const std::vector<Replay> kReplays = {
    {"ApprovedThroughTheBank",
     "approved_payment.vps",
     {},
     {},
     false,
     {"send \"CONNECT:2:${BANK_HOST}:${BANK_PORT}\"", "bank-expect ", "bank-send ",
      "send-tags SETTAGS: \"9F1C=00012345\" \"5A=\\x42\\x76\\xDD\\xDD\\xDD\\xDD\\x12\\x34\""}},
    {"Declined", "declined_payment.vps", {}, {}, false, {"send STORERC:51"}},
    {"RefundReadingTheHostsTags",
     "refund.vps",
     {},
     {"--command", "3", "--amount", "1500", "--currency", "643", "--rrn", "412345678901"},
     false,
     {"expect-tags \"1F03=412345678901\""}},
    {"CardDataMaskedOrByItsLength",
     "card_data.vps",
     {},
     {},
     false,
     {"send \"TRACE:card read: chip 427612******1234\"", "\"57=.................\"",
      "\"5A=\\x42\\x76\\x12\\xDD\\xDD\\xDD\\x12\\x34\""}},
    {"LinkFaults",
     "link_faults.vps",
     {},
     {},
     false,
     {"raw \"\\x02\"", "cut PRIN. 4", "expect NAK"}},
    {"CancellationOfAnOpenTransactionThenThePayment",
     "recovery_cancel.vps",
     {},
     {},
     true,
     {"expect-start 2 2 \"\" \"\" \"\" \"\"", "expect-start 1 1 643 15.00 \"\" \"\""}},
    {"PausesFromMilliseconds",
     "slow_payment.vps",
     {"DATETIME_FORMAT=1", "TIMEOUT=5000"},
     {},
     false,
     {"\npause 20"}},
    {"BrokenOffAfterBegintr", "broken_after_begintr.vps", {}, {}, false, {"\nclose  #"}},
    {"BrokenOffInsideAFrame",
     "cut_then_drop.vps",
     {},
     {},
     false,
     {"cut PRINT:SE. 8", "\nclose  #"}},
};

void PrintTo(const Replay& replay, std::ostream* out) {
    *out << replay.name;
}

// velrun's key=value lines, without the time-stamped trace lines.
std::string Printed(const std::string& out) {
    std::istringstream lines(out);
    std::string printed;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && line.find(' ') > equals) printed += line + "\n";
    }
    return printed;
}

ChildOptions Velrun(const Installation& install, const Replay& replay) {
    ChildOptions options = install.Payment();
    if (!replay.args.empty()) options.args = replay.args;
    return options;
}

// The host's side of the link as its log shows it, without time stamps; the
// bank's address is the one thing a replay changes.
std::string LinkLines(const std::string& log) {
    std::istringstream lines(log);
    std::string shown;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find(" SEND -> ") != std::string::npos ? line.find(" SEND -> ")
                                                                           : line.find(" RECV <- ");
        if (at == std::string::npos) continue;
        std::string frame = line.substr(at + 1);
        if (frame.rfind("RECV <- CONNECT:2:", 0) == 0) frame = "RECV <- CONNECT:2:<bank>";
        shown += frame + "\n";
    }
    return shown;
}

struct Played {
    ChildResult velrun;
    ChildResult pinpad;
    std::string transcript;
};

Played Play(Installation& install, const Replay& replay, const std::string& scenario) {
    Played run;
    if (replay.openTransaction) install.Write("lastop.stb", std::string(1, '\x01'));
    std::string error;
    if (!install.StartPinpad(scenario, {}, false, &error)) {
        run.pinpad.err = error;
        return run;
    }
    run.velrun = velrun_test::runChild(Velrun(install, replay));
    run.pinpad = install.FinishPinpad();
    run.transcript = install.Transcript();
    return run;
}

class LogReplay : public testing::TestWithParam<Replay> {};

}  // namespace

TEST_P(LogReplay, EndsAsTheLoggedRunDid) {
    const Replay& replay = GetParam();
    Installation shop(replay.settings);
    const Played original = Play(shop, replay, replay.scenario);
    ASSERT_EQ(original.pinpad.exitStatus, 0) << original.pinpad.err;
    const std::string log = shop.Logs();

    Installation desk(replay.settings);
    desk.Write("shop.log", log);
    ChildOptions convert;
    convert.program = VPINPAD_PATH;
    convert.args = {"--from-log", desk / "shop.log", "--out", desk / "replay.vps"};
    convert.workDir = desk.Path();
    const ChildResult converted = velrun_test::runChild(convert);
    ASSERT_EQ(converted.exitStatus, 0) << converted.err;
    const std::string scenario = desk.Read("replay.vps");
    for (const std::string& made : replay.made)
        EXPECT_NE(scenario.find(made), std::string::npos) << made << "\n" << scenario;

    const Played replayed = Play(desk, replay, desk / "replay.vps");
    EXPECT_EQ(replayed.pinpad.exitStatus, 0) << replayed.pinpad.err << "\n"
                                             << scenario << replayed.transcript;
    EXPECT_EQ(Printed(replayed.velrun.out), Printed(original.velrun.out));
    EXPECT_NE(Printed(original.velrun.out).find("\ncode="), std::string::npos);
    EXPECT_EQ(LinkLines(desk.Logs()), LinkLines(log));
}

INSTANTIATE_TEST_SUITE_P(Runs, LogReplay, testing::ValuesIn(kReplays),
                         [](const testing::TestParamInfo<Replay>& info) {
                             return std::string(info.param.name);
                         });
