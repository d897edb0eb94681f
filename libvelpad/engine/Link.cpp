// The engine's side of the message link: the payloads it sends, the waits
// for the pinpad's frames with their budgets and deadlines, the pinpad's
// trace.
#include <algorithm>
#include <chrono>

#include "engine/PPAD.h"
#include "ri/Encoding.h"
#include "ri/Trace.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kDefaultWaitSeconds = 60;
// Longest wait a caller may ask for (a day), far from any overflow.
constexpr long kMostWaitSeconds = 86400;

}  // namespace

int PPAD::SendMsg(const std::string& payload, bool allowEmpty, CardData::Payload kind) {
    const std::string body = payload.empty() && !allowEmpty ? std::string("OK") : payload;
    return link_.Send(body, kind);
}

int PPAD::SendOk() {
    return SendMsg("OK");
}

int PPAD::SendError() {
    return SendMsg("ER");
}

PPAD::Served PPAD::Answer(const std::string& payload, bool allowEmpty, CardData::Payload kind) {
    SendMsg(payload, allowEmpty, kind);
    return kGoOn;
}

PPAD::Served PPAD::AnswerOk() {
    return Answer("OK");
}

PPAD::Served PPAD::AnswerError() {
    return Answer("ER");
}

PPAD::Served PPAD::AnswerNumber(int value) {
    return Answer(std::to_string(value));
}

std::string PPAD::WaitMessage(int budget, long waitSeconds) {
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

std::string PPAD::WaitFrame(int budget, Clock::time_point deadline) {
    PinpadLink::WaitRules rules;
    rules.frameTimeout = std::chrono::milliseconds(Number("TIMEOUT"));
    rules.quietSilence = !tags_->Get("MF_TIMEOUT").empty() || !tags_->Get("SKIP_NAK").empty();
    return link_.WaitFrame(NakBudget(budget, Has("DISABLE_NAK")), deadline, rules);
}

void PPAD::ShutDown() {
    trace_->Debug4("ShutDown");
    link_.Close();
}

std::string PPAD::Encoding(const std::string& text) {
    if (Has("OPCHARSET") && Setting("OPCHARSET") != "CP1251" && Setting("OPCHARSET") == "UTF-8")
        return ri::Encoding::win1251_utf(text);
    return text;
}

void PPAD::TraceShown(const char* label, const std::string& text) {
    if (trace_->GetLogType() >= ri::Trace::LEVEL_DEBUG4)
        trace_->Debug4("%s%s", label, CardData::Message(text).c_str());
}

PPAD::Served PPAD::TraceMessage(const std::string& text) {
    // The pinpad's own trace is a trace file too: card data and line breaks
    // in it are shown as in every other log line.
    const std::string shown = CardData::Message(text);
    trace_->Debug4("TraceMessage: %s", shown.c_str());
    if (Number("USEPPADTRACE") != 0 && !text.empty()) {
        if (!trace_writer_.IsOpen()) trace_writer_.Open(Setting("TRACE_FILE"));
        trace_writer_.Write(shown, false);
    }
    return AnswerOk();
}
