// The requests of the transaction itself: its begin and end (the status
// byte), the result code, the pinpad's poll, its serial number, its trace
// line, and the card request that wants no answer.
#include <climits>

#include "engine/RequestFields.h"
#include "engine/handlers/CommandRow.h"
#include "engine/handlers/RunRecords.h"
#include "ri/Conv.h"
#include "ri/Trace.h"

namespace handlers {

namespace {

// What Stop reports once the transaction ended.
constexpr int kTransactionOver = 10;

}  // namespace

// The status stays "open" here: the transaction closes its files and the
// status once the "OK" is out (PPAD::CloseTransaction), so that a crash
// before that leaves a transaction the next run cancels.
Served EndProcess(Request& r, const std::string&) {
    r.trace.Debug4("EndProcess");
    r.state.cancelAnswer = kTransactionOver;
    r.outputs.cheque.Close();
    r.reply.Send("OK");
    return kTransactionEnded;
}

Served SpecialResult(Request& r, const std::string& argument) {
    r.log.Write("Special Result request");
    const std::vector<std::string> parts = SplitFields(argument, ':');
    if (parts.size() != 2 || parts[0] != "SERIAL") return r.reply.Error();
    r.tags.Add("terminal_serial_number", parts[1]);
    return r.reply.Ok();
}

Served PingRequest(Request& r, const std::string&) {
    if (r.state.stopRequest.exchange(false)) return r.reply.Answer("CANCEL");
    return r.reply.Ok();
}

// The pinpad may authorise once it has the "OK": the status "open" is on the
// disk before it leaves. A status that cannot be kept is answered "ER" and
// the pinpad is asked to stop at its next poll.
Served BeginTransaction(Request& r, const std::string&) {
    if (!StatusKept(r) || WriteStatus(r, 0x01)) return r.reply.Ok();
    r.state.stopRequest = true;
    return r.reply.Error();
}

// "STORERC:" takes a result code only as a whole decimal number of the
// code's range: a corrupted digit must never read as 0, an approval. A code
// that is no number puts the run back to "no result" (999), so that neither
// it nor an earlier code stands as the pinpad's last word.
Served StoreResult(Request& r, const std::string& argument) {
    long code = 0;
    if (!ri::Conv::String::ToDecimal(argument, INT_MIN, INT_MAX, &code)) {
        r.log.Write("ERROR: result code [%s] is not a number", CardData::Message(argument).c_str());
        r.trace.Error("StoreResult: result code is not a number");
        StoreCode(r, kNoResult);
        return r.reply.Error();
    }
    StoreCode(r, static_cast<int>(code));
    // The output and variable-environment files follow the stored result.
    if (r.tags.Get("DISABLE_LOG") != "1") SaveOutputFile(r);
    SaveVarEnv(r);
    return r.reply.Ok();
}

// "CARDREQ:" is answered with nothing at all.
Served CardRequest(Request& r, const std::string&) {
    return kGoOn;
}

Served TraceMessage(Request& r, const std::string& text) {
    // The pinpad's own trace is a trace file too: card data and line breaks
    // in it are shown as in every other log line.
    const std::string shown = CardData::Message(text);
    r.trace.Debug4("TraceMessage: %s", shown.c_str());
    if (r.Number("USEPPADTRACE") != 0 && !text.empty()) {
        // Resolved with the result files; taken from the settings directory
        // here as well for a run that keeps no logs.
        if (!r.pinpadTrace.IsOpen())
            r.pinpadTrace.Open(r.session.config().registry.Resolve(r.Setting("TRACE_FILE")));
        r.pinpadTrace.Write(shown, false);
    }
    return r.reply.Ok();
}

const CommandRows& TransactionCommands() {
    static const CommandRows rows = {
        {"SPRESULT:", SpecialResult, 1},   {"PING:", PingRequest, 1},
        {"BEGINTR:", BeginTransaction, 1}, {"STORERC:", StoreResult, 1},
        {"CARDREQ:", CardRequest, 0},      {"TRACE:", TraceMessage, 1},
    };
    return rows;
}

}  // namespace handlers
