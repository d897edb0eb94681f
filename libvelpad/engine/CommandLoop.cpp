// Serving the pinpad: the start message, the command loop and the commands
// the loop answers itself.
#include <chrono>
#include <climits>

#include "engine/PPAD.h"
#include "engine/RequestFields.h"
#include "engine/handlers/CommandRow.h"
#include "ri/Conv.h"
#include "ri/Trace.h"

namespace {

using Clock = std::chrono::steady_clock;

// "Пин-пад не отвечает"
const char kNoPinpad[] = "\xCF\xE8\xED-\xEF\xE0\xE4 \xED\xE5 \xEE\xF2\xE2\xE5\xF7\xE0\xE5\xF2";
constexpr int kLoopNakBudget = 10;
// The link test: a status request with empty fields.
const char kPingMessage[] =
    "9\x1b"
    "6\x1b\x1b\x1b\x1b";
// The serial time-out of an exchange's connection and how long the pinpad
// may stay silent between its requests.
constexpr long kExchangeComTimeoutMs = 3000;
constexpr std::chrono::seconds kExchangeIdle(5);

}  // namespace

int PPAD::Start(const std::string& message, Tags* tags) {
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
    session_.SendMsg(message, false, CardData::Payload::kStart);
    const std::string reply = session_.WaitFor(kLoopNakBudget, idle);
    if (reply.empty()) {
        session_.ShutDown();
        return -2;
    }
    if (ServeRequests(
            reply, [&] { return session_.WaitFor(kLoopNakBudget, idle); }, idleDeadline, idle,
            TagsOr(tags)))
        return 0;
    session_.ShutDown();
    dialog_.ErrorReport(session_.Encoding(kNoPinpad));
    log_.Write("PPAD: Start: %s", session_.Encoding(kNoPinpad).c_str());
    return -2;
}

int PPAD::Ping() {
    if (link_.IsOpen()) return 0;
    return Exchange(std::string(kPingMessage, sizeof(kPingMessage) - 1));
}

// One exchange outside a transaction, as the link test and the settings
// message make it: the pinpad taken and connected, the message sent, and
// its requests served, without dialogs, until it ends the exchange or stays
// silent for a few seconds. 0 ended, -2 no answer, else the connect's result.
int PPAD::Exchange(const std::string& message) {
    session_.Lock();
    // No dialog reaches the cashier for the time of the exchange.
    session_.Quiet(true);
    int result = Connect(kExchangeComTimeoutMs);
    if (result == 0) {
        session_.SendMsg(message);
        const std::string reply = session_.WaitMessage(1, -1);
        result = -2;
        if (!reply.empty() && ServeRequests(
                                  reply, [&] { return session_.WaitMessage(2, -1); },
                                  Clock::now() + kExchangeIdle, kExchangeIdle, *tags_))
            result = 0;
        session_.ShutDown();
    }
    session_.Quiet(false);
    return result;
}

// A file of the run lost a write: the pinpad is asked to stop the
// transaction at its next poll, as Stop does, while that is still possible.
void PPAD::StopIfLost() {
    if (stopped_for_loss_ || outputs_.LostFile().empty()) return;
    stopped_for_loss_ = true;
    state_.stopRequest = true;
    log_.Write("ERROR: file [%s] lost a write, the pinpad is asked to stop",
               outputs_.LostFile().c_str());
}

bool PPAD::ServeRequests(std::string reply, const std::function<std::string()>& next,
                         Clock::time_point idleDeadline, std::chrono::milliseconds idle,
                         Tags& tags) {
    for (;;) {
        if (reply.size() > 3) {
            if (Serve(reply, &tags) == kTransactionEnded) return true;
            idleDeadline = Clock::now() + idle;
        }
        reply = next();
        // A link the pinpad has dropped will bring nothing more: it ends the
        // wait as the idle time-out does, without holding the register.
        if (reply.empty() && (Clock::now() >= idleDeadline || !session_.LinkUp())) return false;
    }
}

PPAD::Served PPAD::Serve(const std::string& payload, Tags* tags) {
    session_.TraceShown("ProcessCommand: ", payload);
    handlers::Reply reply(session_);
    handlers::Request request = RequestFor(reply, TagsOr(tags));
    if (payload == "ENDTR") return handlers::EndProcess(request, "");
    const size_t colon = payload.find(':');
    if (colon == std::string::npos) {
        if (payload == "ISALIVE" && state_.stopRequest.exchange(false))
            return reply.Answer("ISALIVE:0");
        return reply.Error();
    }
    const auto& table = handlers::CommandTable();
    const auto row = table.find(payload.substr(0, colon + 1));
    if (row == table.end()) return reply.Error();
    const Served served = row->second.serve(request, payload.substr(colon + 1));
    StopIfLost();
    return served;
}
