// Every state a crash of the register can leave during an approved payment:
// the real velrun is killed (strace's fault injection, SIGKILL) at each of
// its file-system calls and link sends in turn, then the next run plays
// against the virtual pinpad. For each state: the caller was told success
// only for a payment that stands; a payment the pinpad may have approved
// and the caller was not told of is cancelled by the next run, unless the
// run had closed it with its result and slip whole; the next run reports its
// own result and leaves the status closed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "Installation.h"
#include "PowerCut.h"
#include "support/ChildProcess.h"

namespace {

using velrun_test::ChildOptions;
using velrun_test::ChildResult;

const char kStrace[] = "/usr/bin/strace";
const char kOkFrame[] = "\"\\1\\0\\2OK\"";
// The calls by which a payment changes the disk or tells the pinpad.
const char* const kCalls[] = {"write", "fsync", "fdatasync", "rename", "unlink", "sendto"};
// "ОПЛАТА", a line of the approved payment's slip.
const char kSlipLine[] = "\xCE\xCF\xCB\xC0\xD2\xC0";

// A run to crash: the pinpad's scenario, whether a transaction is left open
// before it, and which of its transactions is the payment.
struct Plan {
    const char* scenario;
    bool leftOpen;
    int payment;
};
const Plan kPayment{"approved_payment.vps", false, 1};
// A transaction left open: the run cancels it first, then pays.
const Plan kCancellation{"recovery_cancel.vps", true, 2};

ChildOptions Velrun(const Installation& install, const std::vector<std::string>& strace) {
    ChildOptions options;
    options.program = kStrace;
    options.args = strace;
    for (const char* arg : {VELRUN_PATH, "--command", "1", "--amount", "1500", "--currency", "643"})
        options.args.push_back(arg);
    options.workDir = install.Path();
    return options;
}

// How many times a run makes each call, from one recorded run.
std::map<std::string, int> CountCalls(const Plan& plan) {
    Installation install;
    if (plan.leftOpen) install.Write("lastop.stb", std::string(1, '\x01'));
    std::string error;
    EXPECT_TRUE(install.StartPinpad(plan.scenario, {}, false, &error)) << error;
    std::string trace = "trace=";
    for (const char* call : kCalls) trace += std::string(call) + (call == kCalls[5] ? "" : ",");
    velrun_test::runChild(Velrun(install, {"-f", "-qq", "-o", install / "calls.txt", "-e", trace}));
    install.FinishPinpad();
    std::map<std::string, int> counts;
    std::ifstream in(install / "calls.txt");
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string pid;
        std::string call;
        fields >> pid >> call;
        call = call.substr(0, call.find('('));
        ++counts[call];
    }
    return counts;
}

// How many of the pinpad's requests of one word got the host's answer: to
// "BEGINTR:" it may authorise, to "ENDTR" its transaction is over.
int Answered(const std::string& transcript, const char* request) {
    const std::string step = std::string("send \"") + request + "\"";
    int answered = 0;
    for (size_t sent = transcript.find(step); sent != std::string::npos;
         sent = transcript.find(step, sent + 1))
        if (transcript.find("host -> pinpad", sent) != std::string::npos) ++answered;
    return answered;
}

struct State {
    Plan plan;
    std::string call;
    int when = 0;
    std::string Describe() const {
        return std::string(plan.scenario) + ": killed at " + call + " #" + std::to_string(when);
    }
};

// What a crash left: whether the caller was told success, whether the
// pinpad may have approved the payment (it had the "OK" to its
// "BEGINTR:"), and whether a transaction it began is not yet answered its
// end.
struct Left {
    bool told = false;
    bool approved = false;
    bool unended = false;
};

// Judges the files a crash left in install and plays the next run; empty
// when every rule held, else what broke.
std::string Settle(Installation& install, const Left& left) {
    const std::string status = install.Read("lastop.stb");
    const bool open = !status.empty() && status[0] == '\x01';
    const bool whole = install.Read("rc.out") == "000\n" &&
                       install.Read("cheq.out").find(kSlipLine) != std::string::npos;
    if (left.told && (open || !whole))
        return "success was told for a payment whose files are not kept";
    if (left.approved && !left.told && !open && !whole)
        return "a payment the pinpad may have approved is neither cancelled nor kept whole";
    if (left.unended && !open)
        return "the status was closed before the pinpad's end of the transaction was answered";
    // The next run: a cancellation first exactly when the status is open.
    std::string error;
    if (!install.StartPinpad(open ? "recovery_cancel.vps" : "approved_payment.vps", {}, false,
                             &error))
        return error;
    const ChildResult after = velrun_test::runChild(install.Payment());
    const ChildResult played = install.FinishPinpad();
    if (!played.exited || played.exitStatus != 0)
        return std::string("the next run did not play as expected (") +
               (open ? "cancellation first" : "no cancellation") + "): " + played.err +
               "\nthe run printed: " + after.out + after.err;
    if (after.out.find("success=1") == std::string::npos)
        return "the next run failed: " + after.out;
    if (install.Read("lastop.stb") != std::string(1, '\0'))
        return "the next run left the status open";
    if (install.Read("rc.out") != "000\n") return "the next run's result file is not its own";
    return "";
}

// A process crash: velrun killed at one call; the page cache survives it.
std::string Explore(const State& state) {
    Installation install;
    if (state.plan.leftOpen) install.Write("lastop.stb", std::string(1, '\x01'));
    std::string error;
    if (!install.StartPinpad(state.plan.scenario, {}, false, &error)) return error;
    const ChildResult crashed = velrun_test::runChild(Velrun(
        install, {"-f", "-qq", "-o", "/dev/null", "-e", "trace=" + state.call, "-e",
                  "inject=" + state.call + ":signal=KILL:when=" + std::to_string(state.when)}));
    // The pinpad's side of the killed run is over; it may be waiting for a
    // host that never comes.
    install.StopPinpad();
    const std::string transcript = install.Transcript();
    Left left;
    left.told = crashed.out.find("success=1") != std::string::npos;
    const int begun = Answered(transcript, "BEGINTR:");
    left.approved = begun >= state.plan.payment;
    left.unended = begun > Answered(transcript, "ENDTR");
    return Settle(install, left);
}

// Every kill of one run; the number of states tried.
int ExploreKills(const Plan& plan) {
    const std::map<std::string, int> counts = CountCalls(plan);
    EXPECT_FALSE(counts.empty());
    int states = 0;
    for (const auto& [call, count] : counts) {
        for (int when = 1; when <= count; ++when) {
            const State state{plan, call, when};
            const std::string broken = Explore(state);
            ++states;
            EXPECT_EQ(broken, "") << state.Describe();
            if (!broken.empty()) return states;
        }
    }
    return states;
}

TEST(CrashStates, EveryKillDuringAPaymentLeavesAStateTheNextRunSettles) {
    if (access(kStrace, X_OK) != 0) GTEST_SKIP() << "strace is not installed";
    const int states = ExploreKills(kPayment);
    std::printf("crash states of a payment tried: %d\n", states);
    EXPECT_GT(states, 50);
}

TEST(CrashStates, EveryKillDuringACancellationAndPaymentLeavesAStateTheNextRunSettles) {
    if (access(kStrace, X_OK) != 0) GTEST_SKIP() << "strace is not installed";
    const int states = ExploreKills(kCancellation);
    std::printf("crash states of a cancellation and payment tried: %d\n", states);
    EXPECT_GT(states, 50);
}

// A power cut after each call of a recorded payment that touches the files
// of the transaction, the link or the caller's output: the disk holds what
// was synced (PowerCut), the caller learnt what velrun had printed.
TEST(CrashStates, EveryPowerCutDuringAPaymentLeavesAStateTheNextRunSettles) {
    if (access(kStrace, X_OK) != 0) GTEST_SKIP() << "strace is not installed";
    Installation recorded;
    std::string error;
    ASSERT_TRUE(recorded.StartPinpad("approved_payment.vps", {}, false, &error)) << error;
    velrun_test::runChild(
        Velrun(recorded, {"-f", "-y", "-qq", "-s", "4096", "-o", recorded / "calls.txt", "-e",
                          "trace=openat,write,fsync,fdatasync,rename,unlink,sendto,recvfrom"}));
    recorded.FinishPinpad();
    const PowerCut record(recorded.Path(), recorded / "calls.txt");
    const auto& events = record.Events();
    Left left;
    bool begun = false;
    bool ending = false;
    bool over = false;
    int states = 0;
    for (size_t e = 0; e < events.size(); ++e) {
        const std::string& line = events[e].text;
        const bool sent = events[e].call == "sendto" && line.find(kOkFrame) != std::string::npos;
        if (events[e].call == "recvfrom") {
            begun = begun || line.find("BEGINTR:") != std::string::npos;
            ending = ending || line.find("ENDTR") != std::string::npos;
        }
        left.approved = left.approved || (begun && sent);
        over = over || (ending && sent);
        left.unended = left.approved && !over;
        const bool toCaller = events[e].call == "write" && line.find("(1<") != std::string::npos;
        left.told = left.told || (toCaller && line.find("success=1") != std::string::npos);
        const bool files = line.find("lastop.stb>") != std::string::npos ||
                           line.find("rc.out") != std::string::npos ||
                           line.find("cheq.out") != std::string::npos ||
                           line.find(recorded.Path() + ">)") != std::string::npos;
        if (!sent && !toCaller && !files) continue;
        // Writes after the last sync dropped, and torn where that differs.
        const auto dropped = record.DiskAfter(e + 1);
        const auto torn = record.DiskAfter(e + 1, true);
        for (const auto* disk : {&dropped, &torn}) {
            if (disk == &torn && torn == dropped) continue;
            Installation install;
            for (const auto& [name, content] : *disk)
                if (name == "lastop.stb" || name == "rc.out" || name == "cheq.out")
                    install.Write(name, content);
            ++states;
            const std::string broken = Settle(install, left);
            ASSERT_EQ(broken, "") << "power cut (" << (disk == &torn ? "torn" : "dropped")
                                  << ") after call " << e + 1 << ": " << line;
        }
    }
    std::printf("power-cut states tried: %d\n", states);
    EXPECT_GT(states, 40);
}

}  // namespace
