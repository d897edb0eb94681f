// Safeguards of a run seen from outside, through the real velrun and the
// virtual pinpad: one run per pinpad, files checked before the start
// message, a silent serial pinpad bounded by the idle time-out, and an
// over-long option refused aloud.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "Installation.h"
#include "support/Loopback.h"

namespace {

using Clock = std::chrono::steady_clock;
using velrun_test::ChildOptions;
using velrun_test::ChildProcess;
using velrun_test::ChildResult;

const std::vector<std::string> kPayment = {"--command", "1",          "--amount",
                                           "1500",      "--currency", "643"};

ChildOptions Velrun(const Installation& install, const std::vector<std::string>& args) {
    ChildOptions options;
    options.program = VELRUN_PATH;
    options.args = args;
    options.workDir = install.Path();
    return options;
}

bool HasLine(const std::string& out, const std::string& line) {
    return ("\n" + out).find("\n" + line + "\n") != std::string::npos;
}

// Waits until some process holds the lock file (a try to take it fails).
bool WaitUntilLocked(const std::string& path) {
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
            close(fd);
            if (held) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// "Пин-пад занят другой операцией" (CP1251): the message of a run refused
// because another run holds the pinpad.
const char kBusyMessage[] =
    "message=\xCF\xE8\xED-\xEF\xE0\xE4 \xE7\xE0\xED\xFF\xF2 \xE4\xF0\xF3\xE3\xEE\xE9 "
    "\xEE\xEF\xE5\xF0\xE0\xF6\xE8\xE5\xE9";

// A payment while another run holds the same pinpad: the second run is
// refused once its short wait is over and says that the pinpad is busy, and
// the first completes with all its files.
void SecondRunIsRefused(bool serial) {
    // The pinpad's pause must not pass for silence.
    Installation install({"PPAD_LOCK_TO=300", "TIMEOUT=5000"});
    std::string error;
    ASSERT_TRUE(install.StartPinpad("slow_payment.vps", {}, serial, &error)) << error;
    ChildProcess first(Velrun(install, kPayment));
    ASSERT_TRUE(WaitUntilLocked(install / "lastop.stb.lock"));
    const ChildResult second = velrun_test::runChild(Velrun(install, kPayment));
    EXPECT_TRUE(HasLine(second.out, "code=-1")) << second.out;
    EXPECT_TRUE(HasLine(second.out, kBusyMessage)) << second.out;
    const ChildResult done = first.finish(std::chrono::seconds(60));
    EXPECT_TRUE(HasLine(done.out, "code=0")) << done.out << done.err;
    const ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << install.Transcript();
    EXPECT_EQ(install.Read("rc.out"), "000\n");
    EXPECT_EQ(install.Read("lastop.stb"), std::string(1, '\0'));
    EXPECT_NE(install.Read("cheq.out").find("SLOW SLIP"), std::string::npos);
    EXPECT_NE(install.Read("darir.log").find("the pinpad is busy with another run"),
              std::string::npos);
}

TEST(RunSafeguards, SecondRunOnOneTcpPinpadIsRefused) {
    SecondRunIsRefused(false);
}

TEST(RunSafeguards, SecondRunOnOneSerialPinpadIsRefused) {
    SecondRunIsRefused(true);
}

TEST(RunSafeguards, SecondRunWaitsForTheFirstAndThenRunsItsOwn) {
    Installation install({"PPAD_LOCK_TO=30000", "TIMEOUT=5000"});
    std::string error;
    ASSERT_TRUE(install.StartPinpad("two_payments_in_turn.vps", {}, false, &error)) << error;
    ChildProcess first(Velrun(install, kPayment));
    ASSERT_TRUE(WaitUntilLocked(install / "lastop.stb.lock"));
    const ChildResult second = velrun_test::runChild(Velrun(install, kPayment));
    const ChildResult done = first.finish(std::chrono::seconds(60));
    EXPECT_TRUE(HasLine(done.out, "code=0")) << done.out << done.err;
    EXPECT_TRUE(HasLine(second.out, "code=0")) << second.out << second.err;
    const ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << install.Transcript();
    EXPECT_NE(install.Read("cheq.out").find("SECOND SLIP"), std::string::npos);
    EXPECT_EQ(install.Read("lastop.stb"), std::string(1, '\0'));
}

TEST(RunSafeguards, UnwritableChequeFileFailsBeforeTheStartMessage) {
    int port = 0;
    const int listener = ListenOnLoopback(1, &port);
    ASSERT_GE(listener, 0);
    // A folder that is a plain file cannot hold the cheque, whoever runs.
    Installation install(
        {"CHEQ_FILE=blocker/cheq.out", "PORT=ETH", "PORT_IP=" + std::to_string(port)});
    install.Write("blocker", "x");
    install.Write("rc.out", "000\n");
    const ChildResult run = velrun_test::runChild(Velrun(install, kPayment));
    EXPECT_TRUE(HasLine(run.out, "code=-1")) << run.out;
    EXPECT_FALSE(WaitReadable(listener, 0)) << "the run reached the pinpad";
    close(listener);
    EXPECT_EQ(install.Read("rc.out"), "") << "an earlier result stays";
    EXPECT_NE(install.Logs().find("ERROR: file [blocker/cheq.out] cannot be written"),
              std::string::npos)
        << install.Logs();
}

TEST(RunSafeguards, SilentSerialPinpadEndsWithinIdleTimeoutAndOneFrameTimeout) {
    Installation install({"PPAD_IDLE_TO=2000", "TIMEOUT=500"});
    std::string error;
    ASSERT_TRUE(install.StartPinpad("silent_after_start.vps", {}, true, &error)) << error;
    const auto start = Clock::now();
    const ChildResult run = velrun_test::runChild(Velrun(install, kPayment));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_TRUE(HasLine(run.out, "code=999")) << run.out;
    // 2000 ms of idle time-out, 500 ms of frame time-out, and a generous
    // allowance for starting the program; a first-byte wait of its own
    // (10 s) would exceed it.
    EXPECT_LT(took.count(), 2000 + 500 + 4000);
    const ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << install.Transcript();
}

TEST(RunSafeguards, OverlongOptionIsRefusedOnStandardError) {
    Installation install;
    std::vector<std::string> args = kPayment;
    args.insert(args.end(), {"--rrn", std::string(500, '1')});
    const ChildResult run = velrun_test::runChild(Velrun(install, args));
    EXPECT_TRUE(HasLine(run.out, "success=0")) << run.out;
    EXPECT_NE(run.err.find("Значение параметра rrn длиннее 499 байт"), std::string::npos)
        << run.err;
}

}  // namespace
