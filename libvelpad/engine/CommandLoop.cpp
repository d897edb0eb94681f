// Serving the pinpad: the start message, the command loop and the commands
// the loop answers itself.
#include <chrono>
#include <climits>

#include "engine/CommandTable.h"
#include "engine/PPAD.h"
#include "engine/RequestFields.h"
#include "ri/Conv.h"
#include "ri/Trace.h"

namespace {

using Clock = std::chrono::steady_clock;

// "Пин-пад не отвечает"
const char kNoPinpad[] = "\xCF\xE8\xED-\xEF\xE0\xE4 \xED\xE5 \xEE\xF2\xE2\xE5\xF7\xE0\xE5\xF2";
constexpr int kLoopNakBudget = 10;
// The link test: a status request with empty fields, the serial time-out of
// its connection and how long the pinpad may stay silent between requests.
const char kPingMessage[] =
    "9\x1b"
    "6\x1b\x1b\x1b\x1b";
constexpr long kPingComTimeoutMs = 3000;
constexpr std::chrono::seconds kPingIdle(5);

}  // namespace

int PPAD::Start(const std::string& message) {
    trace_->Debug4("Start");
    if (!link_.IsOpen()) {
        log_.Write("Not connected");
        return -1;
    }
    log_.Write("PORT: %s", Setting("PORT").c_str());
    log_.Write("External Command");
    const long idleMs = Number("PPAD_IDLE_TO");
    const std::chrono::milliseconds idle(idleMs);
    const auto idleDeadline = Clock::now() + idle;
    SendMsg(message, false, CardData::Payload::kStart);
    const std::string reply = WaitMessage(kLoopNakBudget, idleMs);
    if (reply.empty()) {
        ShutDown();
        return -2;
    }
    if (ServeRequests(reply, kLoopNakBudget, idleMs, idleDeadline, idle)) return 0;
    ShutDown();
    dialog_.ErrorReport(Encoding(kNoPinpad));
    log_.Write("PPAD: Start: %s", Encoding(kNoPinpad).c_str());
    return -2;
}

int PPAD::Ping() {
    if (link_.IsOpen()) return 0;
    session_.Lock();
    const bool addedNoDialogs = !Has("NODIALOGS");
    if (addedNoDialogs) config_.settings.MakePair("NODIALOGS", "1");
    int result = Connect(kPingComTimeoutMs);
    if (result == 0) {
        SendMsg(std::string(kPingMessage, sizeof(kPingMessage) - 1));
        const std::string reply = WaitMessage(1, -1);
        result = -2;
        if (!reply.empty() && ServeRequests(reply, 2, -1, Clock::now() + kPingIdle, kPingIdle))
            result = 0;
        ShutDown();
    }
    if (addedNoDialogs) config_.settings.Delete("NODIALOGS");
    return result;
}

bool PPAD::ServeRequests(std::string reply, int budget, long wait, Clock::time_point idleDeadline,
                         std::chrono::milliseconds idle) {
    for (;;) {
        if (reply.size() > 3) {
            if (Serve(reply) == kTransactionEnded) return true;
            idleDeadline = Clock::now() + idle;
        }
        reply = WaitMessage(budget, wait);
        // A link the pinpad has dropped will bring nothing more: it ends the
        // wait as the idle time-out does, without holding the register.
        if (reply.empty() && (Clock::now() >= idleDeadline || !LinkUp())) return false;
    }
}

PPAD::Served PPAD::Serve(const std::string& payload) {
    TraceShown("ProcessCommand: ", payload);
    if (payload == "ENDTR") return EndProcess();
    const size_t colon = payload.find(':');
    if (colon == std::string::npos) {
        if (payload == "ISALIVE" && stop_request_.exchange(false)) return Answer("ISALIVE:0");
        return AnswerError();
    }
    const auto& table = CommandTable();
    auto handler = table.find(payload.substr(0, colon + 1));
    if (handler == table.end()) return AnswerError();
    return handler->second(*this, payload.substr(colon + 1));
}

PPAD::Served PPAD::ServeWith(Served (*serve)(handlers::Request&, const std::string&),
                             const std::string& argument) {
    handlers::Reply reply(session_);
    handlers::Request request{*tags_, session_, dialog_, bank_, reply, log_, *trace_};
    return serve(request, argument);
}

PPAD::Served PPAD::EndProcess() {
    trace_->Debug4("EndProcess");
    cancel_answer_ = 10;
    if (!Has("NODIALOGS") && !Has("NO_CHECK_LAST_OP")) WriteStatus(0x00);
    outputs_.cheque.Close();
    SendOk();
    return kTransactionEnded;
}

PPAD::Served PPAD::SpecialResult(const std::string& argument) {
    log_.Write("Special Result request");
    const std::vector<std::string> parts = SplitFields(argument, ':');
    if (parts.size() != 2 || parts[0] != "SERIAL") return AnswerError();
    tags_->Add("terminal_serial_number", parts[1]);
    return AnswerOk();
}

PPAD::Served PPAD::PingRequest(const std::string&) {
    if (stop_request_.exchange(false)) return Answer("CANCEL");
    return AnswerOk();
}

PPAD::Served PPAD::BeginTransaction(const std::string&) {
    if (!Has("NODIALOGS") && !Has("NO_CHECK_LAST_OP")) WriteStatus(0x01);
    return AnswerOk();
}

// "STORERC:" takes a result code only as a whole decimal number of the
// code's range: a corrupted digit must never read as 0, an approval. A code
// that is no number puts the run back to "no result" (999), so that neither
// it nor an earlier code stands as the pinpad's last word.
PPAD::Served PPAD::StoreResult(const std::string& argument) {
    long code = 0;
    if (!ri::Conv::String::ToDecimal(argument, INT_MIN, INT_MAX, &code)) {
        log_.Write("ERROR: result code [%s] is not a number", CardData::Message(argument).c_str());
        trace_->Error("StoreResult: result code is not a number");
        StoreCode(kNoResult);
        return AnswerError();
    }
    StoreCode(static_cast<int>(code));
    return AnswerOk();
}

// "CARDREQ:" is answered with nothing at all.
PPAD::Served PPAD::CardRequest(const std::string&) {
    return kGoOn;
}
