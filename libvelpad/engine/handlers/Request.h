#ifndef VELPAD_ENGINE_HANDLERS_REQUEST_H
#define VELPAD_ENGINE_HANDLERS_REQUEST_H

#include <string>

#include "config/CardData.h"
#include "config/Tags.h"
#include "engine/BankChannel.h"
#include "engine/Dialog.h"
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
    Served Ok() { return Answer("OK"); }
    Served Error() { return Answer("ER"); }
    Served Number(int value) { return Answer(std::to_string(value)); }

private:
    PinpadSession& session_;
};

// Exactly what a handler of the pinpad's requests may use: the run's tags,
// the settings (read-only), the dialog bridge, the bank channel, the reply,
// the engine log and the trace. It cannot open, close or wait on the pinpad
// link, and cannot change a setting.
struct Request {
    Tags& tags;
    const PinpadSession& session;
    Dialog& dialog;
    BankChannel& bank;
    Reply& reply;
    Logger& log;
    ri::Trace& trace;

    std::string Setting(const std::string& key) const { return session.Setting(key); }
    long Number(const std::string& key) const { return session.Number(key); }
    bool Has(const std::string& key) const { return session.Has(key); }
    std::string Encoding(const std::string& text) const { return session.Encoding(text); }
    void TraceShown(const char* label, const std::string& text) const {
        session.TraceShown(label, text);
    }
};

}  // namespace handlers

#endif
