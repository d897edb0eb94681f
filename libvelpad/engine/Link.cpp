// A handler's answers to the pinpad and the pinpad's own trace.
#include "engine/PPAD.h"
#include "ri/Trace.h"

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
