// Countdown fault injection over a whole payment: the pinpad link fails (the
// line drops, the pinpad goes silent, or a frame is cut) at the first, the
// second, ... the last operation of a run that first cancels an unfinished
// transaction, then pays through a bank channel and prints a slip. For every
// point of failure the run must end within its idle time-out with a defined
// result, leave the status file saying whether a transaction is still open,
// keep the slip lines it printed, and the next run must recover. The same
// loop fails each write and sync of the run's files in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "BankHost.h"
#include "CountdownLink.h"
#include "config/Tags.h"
#include "engine/PPAD.h"
#include "ri/FileFaults.h"
#include "support/TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kOpen(1, '\x01');
const std::string kEnded(1, '\0');
const char kRequest[] = "AUTH REQUEST 1500";
const char kAnswer[] = "AUTH ANSWER 00";

// Idle time-out of the runs: small, so that every silent pinpad ends quickly.
constexpr long kIdleMs = 100;
// A run ends within the idle time-out of its two transactions, the pause
// after the cancellation and the bank channel's time-out; this bound leaves a
// wide margin for a loaded machine.
constexpr auto kRunBound = std::chrono::seconds(10);

// The pinpad's side of the cancellation of the unfinished transaction.
std::vector<std::string> Cancellation() {
    return {"BEGINTR:", "STORERC:0", "ENDTR"};
}

// The pinpad's side of an approved payment through the bank at port.
std::vector<std::string> Payment(int port) {
    return {"BEGINTR:",
            "DEVICEOPEN:SOCKET",
            "IOCTL:2:100:100",
            "CONNECT:2:127.000.000.001:" + std::to_string(port),
            std::string("WRITE:2:") + kRequest,
            "READ:2:" + std::to_string(sizeof(kAnswer) - 1),
            "DISCONNECT:2",
            "DEVICECLOSE:2",
            "PRINT:SLIP LINE ONE",
            "PRINT:SLIP LINE TWO",
            "STORERC:0",
            "ENDTR"};
}

// A transport source that hands out one scripted pinpad, then none: the
// run connects to it instead of "PORT".
PinpadSession::TransportSource OneLink(ITransport* link) {
    auto held = std::make_shared<std::unique_ptr<ITransport>>(link);
    return [held]() { return held->release(); };
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// What one run did and how it ended.
struct Outcome {
    int result = 0;
    Clock::duration took{};
    std::string status;
    std::string cheque;
    std::string message;
    Countdown countdown;
};

class FaultInjectionTest : public ::testing::Test {
protected:
    // The runs' settings and files are in a directory of their own, given to
    // each engine.
    FaultInjectionTest() {
        Write("cashreg.ini", "TIMEOUT=50\nPPAD_IDLE_TO=" + std::to_string(kIdleMs) +
                                 "\nCANCEL_LAST_OP_AUTO=1\nOPERATION_INI_FILE=ops.ini\n"
                                 "RESULT_FILE=result.txt\nCHEQ_FILE=cheq.out\n"
                                 "VAR_ENV_FILE=varenv.out\n");
        Write("ops.ini", "1=1,4,PURCHASE\n2=3,5,CANCEL\n");
        Write("rc_conv.ini", "");
        Write("rc_res.ini", "0=APPROVED\n");
    }

    void Write(const std::string& name, const std::string& data) {
        std::ofstream(dir_ / name, std::ios::binary | std::ios::trunc) << data;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(dir_ / name, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    // The cancellation the first run owes, then the payment.
    std::vector<std::string> Script() const {
        std::vector<std::string> frames = Cancellation();
        for (const std::string& frame : Payment(bank_.Port())) frames.push_back(frame);
        return frames;
    }

    // One payment run of 15.00 against the scripted pinpad.
    Outcome Run(const std::vector<std::string>& frames, long faultAt, LinkFault fault) {
        Outcome outcome;
        outcome.countdown.faultAt = faultAt;
        outcome.countdown.fault = fault;
        Tags tags;
        tags.Add("amount", "1500");
        tags.Add("currency", "643");
        if (logsOff_) tags.Add("DISABLE_LOG", "1");
        const auto started = Clock::now();
        {
            PPAD engine(&tags, {}, dir_.Path());
            engine.Session().UseTransports(OneLink(new CountdownLink(&outcome.countdown, frames)));
            outcome.result = engine.Run(1, nullptr);
        }
        outcome.took = Clock::now() - started;
        outcome.status = Read("lastop.stb");
        outcome.cheque = Read("cheq.out");
        outcome.message = tags.Get("text_message");
        return outcome;
    }

    // The status a run must leave when its pinpad handed out `delivered`
    // frames of Script(): a transaction is open from a "BEGINTR:" to its
    // "ENDTR", and the unfinished one the run started with stays open until
    // its cancellation ends.
    static std::string ExpectedStatus(size_t delivered, size_t frames) {
        const size_t cancelled = Cancellation().size();
        if (delivered >= frames) return kEnded;
        if (delivered > cancelled) return kOpen;
        return delivered == cancelled ? kEnded : kOpen;
    }

    // Injects `fault` at every operation of a clean run in turn, then checks
    // the faulted run and the run after it.
    void LoopOverEveryOperation(LinkFault fault) {
        const std::vector<std::string> script = Script();
        Write("lastop.stb", kOpen);
        const Outcome clean = Run(script, 0, fault);
        ASSERT_EQ(clean.result, 0);
        ASSERT_EQ(clean.countdown.delivered, script.size());
        ASSERT_EQ(clean.status, kEnded);
        // The bank's answer went back to the pinpad through the channel.
        ASSERT_NE(std::find(clean.countdown.sent.begin(), clean.countdown.sent.end(),
                            std::string("2:") + kAnswer),
                  clean.countdown.sent.end());
        const long operations = clean.countdown.operations;
        ASSERT_GT(operations, static_cast<long>(4 * script.size()));
        RecordProperty("operations", static_cast<int>(operations));
        for (long n = 1; n <= operations; ++n) {
            SCOPED_TRACE("fault at operation " + std::to_string(n));
            Write("lastop.stb", kOpen);
            const Outcome faulted = Run(script, n, fault);
            CheckFaulted(faulted, script);
            CheckRecovery(faulted.status);
        }
    }

    // Whether the host sent the payment's start message (operation 1, pinpad
    // index 4) and answered the "BEGINTR:" after it "OK".
    static bool PaymentBegun(const std::vector<std::string>& sent) {
        for (size_t i = 0; i + 1 < sent.size(); ++i)
            if (sent[i].rfind("1\x1b"
                              "4\x1b",
                              0) == 0)
                return sent[i + 1] == "OK";
        return false;
    }

    // Fails every write and sync of the run's files in turn (a full disk, a
    // broken one): the run never reports success, the transaction it found
    // open stays open on the disk, and the next run cancels it and pays.
    // Each file in kept is synced before the run ends: a failing sync of it
    // is reported with its name.
    void LoopOverEveryFileCall(const std::vector<std::string>& kept) {
        std::set<std::string> synced;
        const std::vector<std::string> script = Script();
        Write("lastop.stb", kOpen);
        ri::FileFaults::Arm(0);
        ASSERT_EQ(Run(script, 0, LinkFault::kClose).result, 0);
        const long calls = ri::FileFaults::Counted();
        ASSERT_GT(calls, 4);
        RecordProperty("file calls", static_cast<int>(calls));
        for (long n = 1; n <= calls; ++n) {
            SCOPED_TRACE("write or sync " + std::to_string(n) + " fails");
            Write("lastop.stb", kOpen);
            ri::FileFaults::Arm(n);
            const Outcome faulted = Run(script, 0, LinkFault::kClose);
            const bool struck = ri::FileFaults::Counted() >= n;
            for (const std::string& name : kept)
                if (ri::FileFaults::StruckSync() && Has(faulted.message, name)) synced.insert(name);
            ri::FileFaults::Arm(0);
            EXPECT_TRUE(struck);
            EXPECT_NE(faulted.result, 0);
            // Closed only when the payment never began: refused before its
            // start message, or its "BEGINTR:" refused.
            EXPECT_TRUE(faulted.status == kOpen || !PaymentBegun(faulted.countdown.sent));
            CheckRecovery(faulted.status);
        }
        EXPECT_EQ(synced, std::set<std::string>(kept.begin(), kept.end()));
    }

    void CheckFaulted(const Outcome& run, const std::vector<std::string>& script) {
        const size_t delivered = run.countdown.delivered;
        EXPECT_TRUE(run.countdown.struck);
        EXPECT_LT(run.took, kRunBound);
        EXPECT_TRUE(run.result == 0 || run.result == 999) << run.result;
        // Success is only ever reported once the pinpad ended the transaction.
        EXPECT_TRUE(run.result != 0 || delivered >= script.size()) << delivered;
        EXPECT_EQ(run.status, ExpectedStatus(delivered, script.size())) << delivered;
        // Slip lines the pinpad printed are kept.
        const size_t firstPrint = Cancellation().size() + 8;
        EXPECT_TRUE(delivered <= firstPrint || Has(run.cheque, "SLIP LINE ONE")) << run.cheque;
        EXPECT_TRUE(delivered <= firstPrint + 1 || Has(run.cheque, "SLIP LINE TWO")) << run.cheque;
    }

    // The next run cancels what the faulted run left open, and pays.
    void CheckRecovery(const std::string& status) {
        std::vector<std::string> frames =
            status == kOpen ? Cancellation() : std::vector<std::string>{};
        for (const std::string& frame : Payment(bank_.Port())) frames.push_back(frame);
        const Outcome next = Run(frames, 0, LinkFault::kClose);
        EXPECT_EQ(next.result, 0);
        EXPECT_EQ(next.countdown.delivered, frames.size());
        EXPECT_EQ(next.status, kEnded);
        EXPECT_TRUE(logsOff_ || Has(next.cheque, "SLIP LINE ONE\nSLIP LINE TWO")) << next.cheque;
    }

    bool logsOff_ = false;

private:
    TempDir dir_;
    BankHost bank_{kAnswer};
};

TEST_F(FaultInjectionTest, LineDroppedAtEveryOperation) {
    LoopOverEveryOperation(LinkFault::kClose);
}

TEST_F(FaultInjectionTest, PinpadSilentFromEveryOperation) {
    LoopOverEveryOperation(LinkFault::kSilence);
}

TEST_F(FaultInjectionTest, FrameCutAtEveryOperation) {
    LoopOverEveryOperation(LinkFault::kCutFrame);
}

TEST_F(FaultInjectionTest, RunFileWriteOrSyncFailingAtEveryCall) {
    LoopOverEveryFileCall({"result.txt", "cheq.out", "varenv.out"});
}

// With logs off the run keeps no result or cheque file, but the exchange
// file all the same.
TEST_F(FaultInjectionTest, RunFileWriteOrSyncFailingAtEveryCallWithLogsOff) {
    logsOff_ = true;
    LoopOverEveryFileCall({"varenv.out"});
}

}  // namespace
