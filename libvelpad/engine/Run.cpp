// One operation from set-up to clean-up: dialog and operation tables, the
// link, the interrupted-transaction check, the start message, the serving
// loop, and the result read from "response_code".
#include "config/OpsTIDConv.h"
#include "engine/PPAD.h"
#include "engine/Texts.h"
#include "ri/Conv.h"
#include "ri/Exception.h"
#include "ri/Sleep.h"
#include "ri/Trace.h"

namespace {

// "НАЧАЛО РАБОТЫ."
const char kStarting[] = "\xCD\xC0\xD7\xC0\xCB\xCE \xD0\xC0\xC1\xCE\xD2\xDB.";
// "ПРОВЕДЕНИЕ ТРАНЗАКЦИИ."
const char kInProgress[] =
    "\xCF\xD0\xCE\xC2\xC5\xC4\xC5\xCD\xC8\xC5 \xD2\xD0\xC0\xCD\xC7\xC0\xCA\xD6\xC8\xC8.";
// "ОШИБКА! Неверно указан порт: "
const char kBadPort[] =
    "\xCE\xD8\xC8\xC1\xCA\xC0! \xCD\xE5\xE2\xE5\xF0\xED\xEE \xF3\xEA\xE0\xE7\xE0\xED "
    "\xEF\xEE\xF0\xF2: ";
// "Операция не поддерживается"
const char kNotSupported[] =
    "\xCE\xEF\xE5\xF0\xE0\xF6\xE8\xFF \xED\xE5 \xEF\xEE\xE4\xE4\xE5\xF0\xE6\xE8\xE2\xE0\xE5\xF2"
    "\xF1\xFF";

constexpr size_t kEncDataShown = 32;

// Loads the terminal conversion table named by a setting; false (logged)
// when its file cannot be read.
bool LoadConversion(PinpadSession& session, const char* key, const char* what, OpsTIDConv* table) {
    if (table->SetFile(session.GetPathFile(session.Setting(key),
                                           session.config().registry.GetIniPath())) != 0) {
        session.trace().Error("open %s failed, see debug log", what);
        session.log().Write("DARir: open %s failed", what);
        return false;
    }
    session.log().Write("DARir: %s loaded", what);
    return true;
}

// The operation file of the terminal the caller named, when the conversion
// tables give one (the terminal's identifier converted too); otherwise the
// one of "OPERATION_INI_FILE".
std::string AutodetectOperations(PinpadSession& session) {
    session.log().Write("AUTODETECT_OPS ENABLED");
    const std::string terminal = session.tags()->Get("terminal_id");
    std::string file = session.Setting("OPERATION_INI_FILE");
    OpsTIDConv operationFiles;
    if (session.Has("OPS_CONV_INI_FILE") &&
        LoadConversion(session, "OPS_CONV_INI_FILE", "OPS CONV INI FILE", &operationFiles) &&
        operationFiles.IsExist(terminal))
        file = operationFiles[terminal];
    OpsTIDConv terminals;
    if (session.Has("TID_CONV_INI_FILE") &&
        LoadConversion(session, "TID_CONV_INI_FILE", "TID CONV INI FILE", &terminals) &&
        terminals.IsExist(terminal))
        session.tags()->Add("terminal_id", terminals[terminal]);
    session.log().Write("Updated ops.ini = " + file);
    session.log().Write("Updated TID = " + session.tags()->Get("terminal_id"));
    return file;
}

// A dialog table the caller hands over as the decimal text of its address in
// a parameter of its own; null when it gives none. Only the caller's
// parameters are read: a settings file never names an address.
void* CallerTable(const Tags& tags, const char* name) {
    const auto found = tags.GetParams().find(name);
    if (found == tags.GetParams().end()) return nullptr;
    const long address = ri::Conv::String::ToInt(found->second);
    return reinterpret_cast<void*>(address);  // NOLINT(performance-no-int-to-ptr)
}

// Picks the operation file (by terminal when "AUTODETECT_OPS" is on) and
// loads it; false when it cannot be read.
bool LoadOperationTables(PinpadSession& session) {
    const std::string file = session.Setting("AUTODETECT_OPS") == "1"
                                 ? AutodetectOperations(session)
                                 : session.Setting("OPERATION_INI_FILE");
    if (session.config().operations.SetFile(
            session.GetPathFile(file, session.config().registry.GetIniPath())) != 0) {
        session.trace().Error("open OPS file fail, see debug log");
        session.log().Write("DARir: open OPS file fail");
        return false;
    }
    return true;
}

// Cancels a transaction left open when the cashier (or
// "CANCEL_LAST_OP_AUTO") agrees; false when it stays open. A cancellation
// the pinpad did not end, or whose files or record were not kept, leaves
// the transaction open: a new one would close the status over it and the
// next run would no longer cancel it; the run then ends without a result.
bool SettleOpenTransaction(PPAD& engine, PinpadSession& session) {
    if (engine.CheckLastStatus() != 1) return true;
    engine.CancelLastOperation();
    if (session.StatusOpen()) {
        session.log().Write(
            "ERROR: the open transaction was not cancelled, no new transaction is started");
        session.trace().Error("Run: the open transaction was not cancelled");
        session.ShutDown();
        engine.StoreCode(PPAD::kNoResult);
        engine.PrintTechCheck(PPAD::kNoResult);
        return false;
    }
    ri::Sleep(100);
    return true;
}

}  // namespace

int PPAD::Run(int operation, void* callback) {
    trace_->Debug6("Run: %d", operation);
    // A pinpad busy with another run refuses this one before anything is
    // written; the session tells the cashier so.
    BeginRun();
    int result = -1;
    try {
        result = RunOperation(operation, callback);
    } catch (const ri::Exception& e) {
        RunFailed(e.What());
    } catch (const std::exception& e) {
        RunFailed(e.what());
    } catch (...) {
        RunFailed("unknown exception");
    }
    dialog_.RestoreScreen();
    if (Number("NO_HRS") != 0) tags_->Delete("result_enc_data");
    if (Has("DEBUG") && Number("DEBUG") == 1)
        log_.Write("ALL SUPPORTED TAGS:\n%s", tags_->PrintTags().c_str());
    LogsControl();
    // The status "closed" is the last act before the caller learns the result.
    if (ended_)
        result = CloseTransaction(result, *tags_);
    else
        ledger_.Complete(session_, *tags_, result, false);
    ledger_.Close();
    return result;
}

// A fault that escaped a request handler ends the run: the link is closed and
// the run fails, while the result and cheque files written so far stay.
void PPAD::RunFailed(const char* what) {
    trace_->Error("Run: request failed: %s", what);
    log_.Write("ERROR: Run: request failed: %s", what);
    session_.ShutDown();
}

int PPAD::RunOperation(int operation, void* callback) {
    if (Number("NO_HRS") != 0) tags_->Delete("enc_data");
    void* dialogs = CallerTable(*tags_, "DialogsCBs");
    void* screens = CallerTable(*tags_, "DialogsI344CBs");
    dialog_.SetDialogs(dialogs, screens);
    state_.stopRequest = false;
    if (dialog_.Init(config_.registry.GetDlgLibPath(), Number("PPAD_IDLE_TO"),
                     !session_.NoDialogs(), Has("USE_CALLBACK")) < 0) {
        trace_->Error("DARir: Dialog Init fail");
        log_.Write("DARir: Dialog Init fail");
        return -1;
    }
    if (callback && Has("USE_CALLBACK")) dialog_.SetCallback(callback);
    dialog_.StatusReportConst(session_, kStarting);
    CheckJL();
    if (!LoadOperationTables(session_)) return -1;
    if (!outputs_.Check(session_, session_.StatusKept(), log_)) return -1;
    // Without its record in the ledger no operation starts.
    if (!ledger_.Begin(session_, *tags_, operation, false)) {
        tags_->Add("text_message", texts::kFileNotKept + ledger_.Path());
        return -1;
    }
    if (!ConnectForRun()) return -1;
    trace_->Debug("Run command: [%d]", operation);
    if (!config_.operations.IsExist(operation)) {
        trace_->Error("operation not supported");
        dialog_.ErrorReport(session_.Encoding(kNotSupported));
        session_.ShutDown();
        return -1;
    }
    if (operation != kCancelOperation && !SettleOpenTransaction(*this, session_)) return kNoResult;
    dialog_.StatusReportConst(session_, kInProgress);
    StoreCode(kNoResult);
    PrintTechCheck(kNoResult);
    // A result or slip already lost would make a payment nobody can print.
    if (!outputs_.LostFile().empty()) {
        log_.Write("ERROR: file [%s] lost a write, no transaction is started",
                   outputs_.LostFile().c_str());
        tags_->Add("text_message", texts::kFileNotKept + outputs_.LostFile());
        session_.ShutDown();
        return -1;
    }
    log_.Write("START");
    const bool ended = Start(InitParamOperation(operation)) == 0;
    ended_ = ended;
    const std::string encData = tags_->Get("result_enc_data");
    tags_->Add("result_enc_data", ri::HEX::ToString(encData.substr(0, kEncDataShown)));
    session_.ShutDown();
    const int result = static_cast<int>(ri::Conv::String::ToInt(tags_->Get("response_code")));
    return ended ? result : UnendedResult(result);
}

// The pinpad stored a code and then never ended the transaction: a failure
// stands as stored, but a success cannot be trusted, since the status file
// still shows the transaction open and the next run may cancel it.
int PPAD::UnendedResult(int result) {
    if (result != 0) return result;
    const std::string stored = tags_->Get("response_code");
    log_.Write("ERROR: transaction not ended (no ENDTR), stored result [%s] is not reported",
               stored.c_str());
    StoreCode(kNoResult);
    return static_cast<int>(ri::Conv::String::ToInt(tags_->Get("response_code")));
}

// The end of a transaction the pinpad ended: its files on the disk whole,
// then the status "closed". A file that could not be kept leaves the status
// "open", so that the next run cancels the transaction, and the run reports
// no result with the file's name: the register must not count a payment
// whose slip or result is lost.
int PPAD::CloseTransaction(int result, Tags& tags) {
    // The exchange file is written with logs off too, so it is kept with them
    // off as well; the result, cheque and output files exist only with logs.
    if (outputs_.LostFile().empty()) outputs_.Commit(log_);
    std::string lost = outputs_.LostFile();
    // The ledger's record is complete before the status says "closed".
    if (lost.empty() && !ledger_.Complete(session_, tags, result, true)) lost = ledger_.Path();
    if (lost.empty()) {
        handlers::Reply reply(session_);
        handlers::Request request = RequestFor(reply, tags);
        if (!handlers::StatusKept(request) || handlers::WriteStatus(request, 0x00)) return result;
        // A "closed" that failed its sync may still be what the file reads:
        // the status is put back to "open", so that the failure reported
        // and the next run's cancellation agree.
        handlers::WriteStatus(request, 0x01);
        lost = session_.StatusFilePath();
    }
    log_.Write(
        "ERROR: file [%s] was not kept, the transaction stays open and no result is "
        "reported",
        lost.c_str());
    trace_->Error("PPAD: file [%s] was not kept", lost.c_str());
    StoreCode(kNoResult, &tags);
    tags.Add("text_message", texts::kFileNotKept + lost);
    ledger_.Complete(session_, tags, kNoResult, false);
    return kNoResult;
}

bool PPAD::ConnectForRun() {
    const std::string port = Setting("PORT");
    log_.Write(port);
    const int result = Connect(-1);
    if (result == -3) dialog_.ErrorReport(session_.Encoding(kBadPort + port));
    const int connected = result == 0 ? 1 : 0;
    log_.Write(connected ? "Connection OK" : "Connection ERROR");
    trace_->Debug("Run connection: [%d]", connected);
    return connected != 0;
}
