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

std::string PinpadSession::WaitMessage(int budget, long waitSeconds) {
    trace_->Debug4("WaitMessage: [%d] [%ld]", budget, waitSeconds);
    if (waitSeconds < 0) waitSeconds = kDefaultWaitSeconds;
    const long timeoutMs = Number("TIMEOUT");
    if (timeoutMs > 0 && budget * timeoutMs > waitSeconds)
        budget = static_cast<int>(waitSeconds / timeoutMs);
    const auto now = Clock::now();
    auto deadline = now + std::chrono::seconds(std::min(waitSeconds, kMostWaitSeconds));
    // The transaction loop passes the idle time-out in milliseconds as the
    // wait in seconds: the idle time-out itself bounds every wait, whether
    // silence is answered with NAKs or not.
    const long idleMs = Number("PPAD_IDLE_TO");
    if (idleMs > 0) deadline = std::min(deadline, now + std::chrono::milliseconds(idleMs));
    return WaitFrame(budget, deadline);
}

std::string PinpadSession::WaitFrame(int budget, Clock::time_point deadline) {
    PinpadLink::WaitRules rules;
    rules.frameTimeout = std::chrono::milliseconds(Number("TIMEOUT"));
    rules.quietSilence = !tags_->Get("MF_TIMEOUT").empty() || !tags_->Get("SKIP_NAK").empty();
    return link_.WaitFrame(NakBudget(budget, Has("DISABLE_NAK")), deadline, rules);
}

void PinpadSession::ShutDown() {
    trace_->Debug4("ShutDown");
    link_.Close();
}

std::string PinpadSession::Encoding(const std::string& text) const {
    if (Has("OPCHARSET") && Setting("OPCHARSET") != "CP1251" && Setting("OPCHARSET") == "UTF-8")
        return ri::Encoding::win1251_utf(text);
    return text;
}

void PinpadSession::TraceShown(const char* label, const std::string& text) const {
    if (trace_->GetLogType() >= ri::Trace::LEVEL_DEBUG4)
        trace_->Debug4("%s%s", label, CardData::Message(text).c_str());
}
