// The session's side of the message link: the payloads it sends and the
// waits for the pinpad's frames with their budgets and deadlines.
#include <algorithm>

#include "engine/session/PinpadSession.h"
#include "ri/Encoding.h"
#include "ri/Trace.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kDefaultWaitSeconds = 60;
// Longest wait a caller may ask for (a day), far from any overflow.
constexpr long kMostWaitSeconds = 86400;

}  // namespace

int PinpadSession::SendMsg(const std::string& payload, bool allowEmpty, CardData::Payload kind) {
    const std::string body = payload.empty() && !allowEmpty ? std::string("OK") : payload;
    return link_.Send(body, kind);
}

std::string PinpadSession::WaitFor(int budget, std::chrono::milliseconds wait) {
    const long waitMs = static_cast<long>(wait.count());
    trace_->Debug4("WaitMessage: [%d] [%ld]", budget, waitMs);
    return Wait(FittingBudget(budget, waitMs), wait);
}

std::string PinpadSession::WaitMessage(int budget, long waitSeconds) {
    trace_->Debug4("WaitMessage: [%d] [%ld]", budget, waitSeconds);
    if (waitSeconds < 0) waitSeconds = kDefaultWaitSeconds;
    return Wait(FittingBudget(budget, waitSeconds),
                std::chrono::seconds(std::min(waitSeconds, kMostWaitSeconds)));
}

// The NAKs of "TIMEOUT" milliseconds each that fit into wait (taken in
// whatever unit the caller gives it), at most budget.
int PinpadSession::FittingBudget(int budget, long wait) const {
    const long timeoutMs = static_cast<long>(wait_rules_.frameTimeout.count());
    if (timeoutMs > 0 && budget * timeoutMs > wait) return static_cast<int>(wait / timeoutMs);
    return budget;
}

// The idle time-out bounds every wait, whether silence is answered with
// NAKs or not.
std::string PinpadSession::Wait(int budget, std::chrono::milliseconds wait) {
    if (idle_.count() > 0) wait = std::min(wait, idle_);
    return link_.WaitFrame(NakBudget(budget, disable_nak_), Clock::now() + wait, wait_rules_);
}

void PinpadSession::Attach(ITransport* transport) {
    link_.Attach(transport);
    wait_rules_.frameTimeout = std::chrono::milliseconds(Number("TIMEOUT"));
    wait_rules_.quietSilence = !tags_->Get("MF_TIMEOUT").empty() || !tags_->Get("SKIP_NAK").empty();
    idle_ = std::chrono::milliseconds(Number("PPAD_IDLE_TO"));
    disable_nak_ = Has("DISABLE_NAK");
}

void PinpadSession::ShutDown() {
    trace_->Debug4("ShutDown");
    link_.Close();
}

std::string PinpadSession::Encoding(const std::string& text) const {
    if (Setting("OPCHARSET") == "UTF-8") return ri::Encoding::win1251_utf(text);
    return text;
}

void PinpadSession::TraceShown(const char* label, const std::string& text) const {
    if (trace_->GetLogType() >= ri::Trace::LEVEL_DEBUG4)
        trace_->Debug4("%s%s", label, CardData::Message(text).c_str());
}
