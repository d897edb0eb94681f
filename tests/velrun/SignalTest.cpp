// Signals that reach velrun while the operation runs.
#include <gtest/gtest.h>
#include <signal.h>

#include "VelrunFixture.h"

namespace velrun_test {
namespace {

using namespace std::chrono_literals;

const char kReport[] = "Получен сигнал, signumber = ";

class VelrunSignals : public VelrunTest {
protected:
    ChildOptions running(const char* mode, bool breakStderr = false) {
        auto options = withShim({"--command", "1"}, {std::string("VELRUN_SHIM_RUN=") + mode});
        options.breakStderr = breakStderr;
        return options;
    }
};

TEST_F(VelrunSignals, HangUpInterruptPipeQuitTerminateAreReportedAndTheRunGoesOn) {
    for (int signum : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE}) {
        ChildProcess child(running("wait"));
        ASSERT_TRUE(child.waitForStderr("shim: waiting\n", 30s));
        child.sendSignal(signum);
        const auto r = child.finish(30s);
        EXPECT_EQ(r.exitStatus, 0) << signum;
        const std::string report =
            kReport + std::to_string(signum) + " (" + strsignal(signum) + ")\nВывод ";
        EXPECT_NE(r.err.find(report), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(" фреймов стека:\n  "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Команда 1. Результат выполнения: 5\n"), std::string::npos);
        EXPECT_NE(r.out.find("code=5\n"), std::string::npos) << r.out;
    }
}

TEST_F(VelrunSignals, FaultsAreReportedOnceAndEndTheProcessWithTheirSignal) {
    const std::pair<const char*, int> faults[] = {
        {"segv", SIGSEGV}, {"fpe", SIGFPE}, {"abort", SIGABRT}};
    for (const auto& [mode, signum] : faults) {
        const auto r = runChild(running(mode));
        ASSERT_FALSE(r.timedOut) << mode;
        EXPECT_EQ(r.termSignal, signum) << mode << "\n" << r.err;
        EXPECT_EQ(countOf(r.err, kReport), 1u) << r.err;
        EXPECT_NE(r.err.find(kReport + std::to_string(signum) + " ("), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(VelrunSignals, FaultSignalSentFromOutsideEndsTheProcess) {
    ChildProcess child(running("wait"));
    ASSERT_TRUE(child.waitForStderr("shim: waiting\n", 30s));
    child.sendSignal(SIGSEGV);
    const auto r = child.finish(30s);
    EXPECT_EQ(r.termSignal, SIGSEGV);
    EXPECT_EQ(countOf(r.err, kReport), 1u) << r.err;
}

TEST_F(VelrunSignals, BrokenStandardErrorDoesNotLoopTheReport) {
    ChildProcess child(running("wait", true));
    // Standard error is gone: every report written there raises another
    // broken pipe signal, starting with the shim's own marker.
    const auto r = child.finish(30s);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_NE(r.out.find("success=0\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace velrun_test
