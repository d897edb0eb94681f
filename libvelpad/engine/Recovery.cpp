// Recovery of an interrupted transaction: the one-byte status file, the
// cancellation of a transaction left open, the storing of result codes and
// the pinpad's clock request.
#include <ctime>

#include "engine/PPAD.h"
#include "engine/Texts.h"
#include "ri/Conv.h"
#include "ri/Exception.h"
#include "ri/Format.h"
#include "ri/Trace.h"

namespace {

using texts::kEsc;

// "Предыдущая транзакция не была завершена!\r\nВыполнить отмену операции?"
const char kUnfinished[] =
    "\xCF\xF0\xE5\xE4\xFB\xE4\xF3\xF9\xE0\xFF \xF2\xF0\xE0\xED\xE7\xE0\xEA\xF6\xE8\xFF \xED\xE5 "
    "\xE1\xFB\xEB\xE0 \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE0!\r\n"
    "\xC2\xFB\xEF\xEE\xEB\xED\xE8\xF2\xFC \xEE\xF2\xEC\xE5\xED\xF3 "
    "\xEE\xEF\xE5\xF0\xE0\xF6\xE8\xE8?";

// Puts the run's result and cheque writers back where they stood before the
// cancellation diverted them, however the cancellation ends.
class DivertedOutputs {
public:
    DivertedOutputs(RunOutputs& outputs, const std::string& resultPath,
                    const std::string& chequePath)
        : outputs_(outputs), own_(outputs.Divert(resultPath, chequePath)) {}
    ~DivertedOutputs() { outputs_.Restore(own_); }
    DivertedOutputs(const DivertedOutputs&) = delete;
    DivertedOutputs& operator=(const DivertedOutputs&) = delete;

private:
    RunOutputs& outputs_;
    const RunOutputs::Mark own_;
};

}  // namespace

int PPAD::CheckLastStatus() {
    trace_->Debug4("CheckLastStatus");
    if (!session_.StatusKept()) return 0;
    if (!session_.StatusOpen()) return 0;
    if (Has("CANCEL_LAST_OP_AUTO")) return 1;
    return dialog_.YesNoDialog(session_.Encoding(kUnfinished),
                               session_.Encoding(texts::kYesNoQuestion));
}

// Runs the cancel operation on a store of its own, so that the caller's tags
// stay untouched. When "CANCEL_RC_FILE" or "CANCEL_CH_FILE" names a file, the
// cancellation's result or cheque goes there instead of into the run's own
// files, and its slip no longer gives way to the run's own cheque.
void PPAD::CancelLastOperation() {
    trace_->Debug4("CancelLastOperation");
    Tags cancelTags;
    const DivertedOutputs diverted(outputs_, logging_ ? Setting("CANCEL_RC_FILE") : std::string(),
                                   logging_ ? Setting("CANCEL_CH_FILE") : std::string());
    const std::string message = config_.operations.GetType(kCancelOperation) + kEsc +
                                config_.operations.GetOwInd(kCancelOperation) +
                                std::string(4, kEsc);
    StoreCode(kNoResult, &cancelTags);
    PrintTechCheck(kNoResult, &cancelTags);
    // Without its record in the ledger the cancellation does not start,
    // and neither does the run that needed it.
    if (!ledger_.Begin(session_, cancelTags, kCancelOperation, true)) {
        tags_->Add("text_message", texts::kFileNotKept + ledger_.Path());
        throw ri::Exception("the ledger cannot be written");
    }
    try {
        log_.Write("START");
        const bool ended = Start(message, &cancelTags) == 0;
        const int code = static_cast<int>(ri::Conv::String::ToInt(cancelTags.Get("response_code")));
        // A cancellation the pinpad ended closes as every transaction does.
        if (ended)
            CloseTransaction(code, cancelTags);
        else
            ledger_.Complete(session_, cancelTags, code, false);
        ledger_.NoteRecovery(session_);
    } catch (...) {
        ledger_.Close();
        throw;
    }
    ledger_.Close();
}
