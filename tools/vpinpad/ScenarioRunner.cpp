#include "ScenarioRunner.h"

#include <poll.h>

#include <algorithm>
#include <map>

#include "ByteText.h"
#include "StepFailure.h"

namespace vpinpad {

namespace {

// Bounds one poll so that a signal arriving just before it is seen soon.
constexpr long kPollSliceMs = 200;

std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

}  // namespace

ScenarioRunner::ScenarioRunner(Link& link, FakeBank& bank, Transcript& transcript,
                               std::chrono::milliseconds timeout,
                               const volatile std::sig_atomic_t* stop)
    : link_(link), bank_(bank), transcript_(transcript), timeout_(timeout), stop_(stop) {}

RunResult ScenarioRunner::Run(const std::vector<Step>& steps) {
    deadline_ = Clock::now() + timeout_;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        transcript_.Note("step " + std::to_string(i + 1) + " (line " + std::to_string(step.line) +
                         "): " + Trimmed(step.source));
        try {
            RunStep(step);
        } catch (const std::exception& e) {
            auto* failure = dynamic_cast<const StepFailure*>(&e);
            std::string text = "step " + std::to_string(i + 1) + " of " +
                               std::to_string(steps.size()) + " (line " +
                               std::to_string(step.line) + ": " + Trimmed(step.source) +
                               ") failed: " + e.what();
            transcript_.Note(text);
            return {failure ? failure->ExitCode() : kFailed, text};
        }
    }
    std::string text = "scenario passed (" + std::to_string(steps.size()) + " steps)";
    transcript_.Note(text);
    return {kPassed, text};
}

void ScenarioRunner::RunStep(const Step& step) {
    static const std::map<StepKind, Handler> handlers = {
        {StepKind::kExpectStart, &ScenarioRunner::ExpectStart},
        {StepKind::kExpectStartPrefix, &ScenarioRunner::ExpectStart},
        {StepKind::kExpect, &ScenarioRunner::ExpectReply},
        {StepKind::kExpectPrefix, &ScenarioRunner::ExpectReply},
        {StepKind::kExpectFile, &ScenarioRunner::ExpectFile},
        {StepKind::kExpectTags, &ScenarioRunner::ExpectTags},
        {StepKind::kExpectNothing, &ScenarioRunner::ExpectNothing},
        {StepKind::kExpectRelayId, &ScenarioRunner::ExpectRelayId},
        {StepKind::kExpectClose, &ScenarioRunner::ExpectClose},
        {StepKind::kSend, &ScenarioRunner::Send},
        {StepKind::kSendFile, &ScenarioRunner::SendFile},
        {StepKind::kRaw, &ScenarioRunner::Raw},
        {StepKind::kCut, &ScenarioRunner::Cut},
        {StepKind::kBadFirstByte, &ScenarioRunner::BadFirstByte},
        {StepKind::kSplit, &ScenarioRunner::Split},
        {StepKind::kPause, &ScenarioRunner::Pause},
        {StepKind::kClose, &ScenarioRunner::Close},
        {StepKind::kAccept, &ScenarioRunner::Accept},
        {StepKind::kBankExpect, &ScenarioRunner::BankExpect},
        {StepKind::kBankExpectPrefix, &ScenarioRunner::BankExpect},
        {StepKind::kBankSend, &ScenarioRunner::BankSend},
        {StepKind::kBankClose, &ScenarioRunner::BankClose},
    };
    (this->*handlers.at(step.kind))(step);
}

// One round of waiting: whatever arrives on the link or at the bank is taken in.
void ScenarioRunner::Pump(Clock::time_point until) {
    std::vector<pollfd> fds;
    int linkFd = link_.PollFd();
    if (linkFd >= 0) fds.push_back({linkFd, POLLIN, 0});
    for (int fd : bank_.PollFds()) fds.push_back({fd, POLLIN, 0});
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    int wait = static_cast<int>(std::clamp<long>(static_cast<long>(left), 0, kPollSliceMs));
    int ready = poll(fds.data(), fds.size(), wait);
    if (*stop_) throw StepFailure(kInterrupted, "interrupted by a signal");
    if (ready <= 0) return;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        if (linkFd >= 0 && i == 0) {
            if (!link_.OnReadable(&raw_)) hostClosed_ = true;
        } else {
            bank_.OnReadable(fds[i].fd);
        }
    }
    Collect();
}

void ScenarioRunner::Collect() {
    framing_.Feed(raw_);
    raw_.clear();
    std::string bytes;
    for (;;) {
        Framing::Status status = framing_.Next(&bytes);
        if (status == Framing::Status::kNeedMore) return;
        bool framed = status == Framing::Status::kFrame;
        transcript_.Record("host -> pinpad", framed ? "frame" : "bytes outside a frame", bytes);
        inbound_.push_back({framed, bytes});
    }
}

void ScenarioRunner::WaitUntil(const std::function<bool()>& done, const std::string& what) {
    while (!done()) {
        if (Clock::now() >= deadline_) {
            throw StepFailure(kTimedOut, "timed out after " +
                                             std::to_string(timeout_.count() / 1000) +
                                             " s waiting for " + what + PendingNote());
        }
        Pump(deadline_);
    }
}

void ScenarioRunner::PumpFor(long millis) {
    auto end = Clock::now() + std::chrono::milliseconds(millis);
    if (end > deadline_) {
        WaitUntil([] { return false; }, "the end of a pause of " + std::to_string(millis) + " ms");
    }
    while (Clock::now() < end) Pump(end);
}

std::string ScenarioRunner::PendingNote() const {
    if (!link_.Connected()) return " (no host is connected)";
    std::size_t pending = framing_.Pending();
    if (pending == 0) return {};
    if (pending < 3) return " (" + std::to_string(pending) + " bytes of a frame header arrived)";
    return " (an unfinished frame from the host, announcing " +
           std::to_string(framing_.Announced()) + " payload bytes, " + std::to_string(pending - 3) +
           " arrived)";
}

void ScenarioRunner::EnsureConnected() {
    if (hostClosed_) throw StepFailure(kFailed, "the host has closed the connection");
    WaitUntil([this] { return link_.Connected(); }, "the host to connect");
}

std::string ScenarioRunner::ExpectFrame() {
    WaitUntil([this] { return !inbound_.empty() || hostClosed_; }, "a frame from the host");
    if (inbound_.empty()) {
        throw StepFailure(kFailed,
                          "the host closed the connection instead of answering" + PendingNote());
    }
    Inbound next = inbound_.front();
    inbound_.pop_front();
    if (!next.framed) {
        throw StepFailure(
            kFailed, "the host sent bytes outside a frame: " + ByteText::Quoted(next.bytes) + " [" +
                         ByteText::Hex(next.bytes) + "]");
    }
    return next.bytes;
}

void ScenarioRunner::SendBytes(const std::string& wire, const std::string& what,
                               const std::string& shown) {
    EnsureConnected();
    try {
        link_.Write(wire);
    } catch (const std::exception& e) {
        throw StepFailure(kFailed, std::string("cannot send: ") + e.what());
    }
    transcript_.Record("pinpad -> host", what, shown);
}

}  // namespace vpinpad
