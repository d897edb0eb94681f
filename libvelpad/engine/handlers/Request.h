#ifndef VELPAD_ENGINE_HANDLERS_REQUEST_H
#define VELPAD_ENGINE_HANDLERS_REQUEST_H

#include <atomic>
#include <string>

#include "config/CardData.h"
#include "config/Tags.h"
#include "engine/BankChannel.h"
#include "engine/Dialog.h"
#include "engine/RunOutputs.h"
#include "engine/session/PinpadSession.h"
#include "ri/Logger.h"

namespace ri {
class Trace;
}

namespace handlers {

// What a request handler tells the serve loop once it has answered the
// pinpad (or, where the protocol wants no answer, left it unanswered).
enum Served : int {
    // Answered; the loop waits for the next request.
    kGoOn = 0,
    // A file request answered "ER"; the loop waits for the next request.
    kFileRefused = -2,
    // The pinpad ended the transaction; the loop ends.
    kTransactionEnded = -3,
};

// The one way a handler answers the pinpad: a payload ("OK" for an empty one
// unless allowEmpty; kind tells the logs where it holds card data), "OK",
// "ER" or a number. Whether the answer reached the pinpad is the link's
// business: a dropped link ends the loop at the next wait.
class Reply {
public:
    explicit Reply(PinpadSession& session) : session_(session) {}
    Served Answer(const std::string& payload, bool allowEmpty = false,
                  CardData::Payload kind = CardData::Payload::kText) {
        session_.SendMsg(payload, allowEmpty, kind);
        return kGoOn;
    }
    // One frame of an answer that takes several (a stream of screens, a
    // reader command after "OK"): the link's result, 0 when sent.
    int Send(const std::string& payload, bool allowEmpty = false) {
        return session_.SendMsg(payload, allowEmpty);
    }
    Served Ok() { return Answer("OK"); }
    Served Error() { return Answer("ER"); }
    Served Number(int value) { return Answer(std::to_string(value)); }

private:
    PinpadSession& session_;
};

// The state of the transaction that requests change and another thread
// reads: the caller's stop request (handed to the pinpad at its next poll)
// and what Stop reports, and whether the printer takes the pinpad's escapes.
struct RunState {
    std::atomic<bool> stopRequest{false};
    // 0 while the pinpad may still be cancelled, 10 once the transaction
    // ended, or what an "INFO:" code set.
    std::atomic<int> cancelAnswer{0};
    bool printerEscapes = false;
};

// Exactly what a handler of the pinpad's requests may use: the run's tags,
// the settings (read-only), the dialog bridge, the run's outputs and state,
// the bank channel, the reply, the engine log, the trace and the pinpad's own
// trace file. It cannot open, close or wait on the pinpad link, and cannot
// change a setting.
struct Request {
    Tags& tags;
    const PinpadSession& session;
    Dialog& dialog;
    RunOutputs& outputs;
    RunState& state;
    BankChannel& bank;
    Reply& reply;
    Logger& log;
    ri::Trace& trace;
    FileWritter& pinpadTrace;

    std::string Setting(const std::string& key) const { return session.Setting(key); }
    long Number(const std::string& key) const { return session.Number(key); }
    bool Has(const std::string& key) const { return session.Has(key); }
    std::string Encoding(const std::string& text) const { return session.Encoding(text); }
    const EngineSettings& config() const { return session.config(); }
    void TraceShown(const char* label, const std::string& text) const {
        session.TraceShown(label, text);
    }
};

}  // namespace handlers

#endif
