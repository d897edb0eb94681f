#pragma once

#include <chrono>
#include <csignal>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "FakeBank.h"
#include "Framing.h"
#include "Link.h"
#include "Step.h"
#include "Transcript.h"

namespace vpinpad {

struct RunResult {
    int exitCode;
    std::string message;
};

// Plays a scenario against the host, one step after the other, on one thread: every wait
// polls the link and the bank together, so the host can reach the bank while the pinpad
// waits for its reply. The whole run is bounded by one deadline.
class ScenarioRunner {
public:
    enum ExitCode { kPassed = 0, kFailed = 1, kTimedOut = 3, kInterrupted = 4 };

    ScenarioRunner(Link& link, FakeBank& bank, Transcript& transcript,
                   std::chrono::milliseconds timeout, const volatile std::sig_atomic_t* stop);

    RunResult Run(const std::vector<Step>& steps);

private:
    using Clock = std::chrono::steady_clock;
    using Handler = void (ScenarioRunner::*)(const Step&);
    struct Inbound {
        bool framed;
        std::string bytes;
    };

    void RunStep(const Step& step);
    void Pump(Clock::time_point until);
    void Collect();
    // Takes in what arrives until `done` holds; throws a time-out at the run's deadline.
    void WaitUntil(const std::function<bool()>& done, const std::string& what);
    void PumpFor(long millis);
    void EnsureConnected();
    std::string ExpectFrame();
    std::string PendingNote() const;
    // Writes `wire` to the host and records `shown` (the payload of a whole frame).
    void SendBytes(const std::string& wire, const std::string& what, const std::string& shown);

    void ExpectStart(const Step& step);
    void ExpectReply(const Step& step);
    void ExpectFile(const Step& step);
    void SendFile(const Step& step);
    void ExpectTags(const Step& step);
    void ExpectNothing(const Step& step);
    void ExpectRelayId(const Step& step);
    void ExpectClose(const Step& step);
    void Send(const Step& step);
    void Raw(const Step& step);
    void Cut(const Step& step);
    void BadFirstByte(const Step& step);
    void Split(const Step& step);
    void Pause(const Step& step);
    void Close(const Step& step);
    void Accept(const Step& step);
    void BankExpect(const Step& step);
    void BankSend(const Step& step);
    void BankClose(const Step& step);

    Link& link_;
    FakeBank& bank_;
    Transcript& transcript_;
    std::chrono::milliseconds timeout_;
    Clock::time_point deadline_;
    const volatile std::sig_atomic_t* stop_;
    std::string raw_;
    Framing framing_;
    std::deque<Inbound> inbound_;
    bool hostClosed_ = false;
};

}  // namespace vpinpad
