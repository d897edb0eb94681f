#ifndef VELPAD_ENGINE_PPAD_H
#define VELPAD_ENGINE_PPAD_H

#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "config/CardData.h"
#include "config/OpsTIDConv.h"
#include "config/Tags.h"
#include "engine/BankChannel.h"
#include "engine/RunOutputs.h"
#include "engine/handlers/Request.h"
#include "engine/session/PinpadSession.h"

namespace ri {
class Trace;
}

// The transaction over a pinpad session. The constructor makes the session
// (settings, logs, the link not yet open) and reads the code tables; it
// writes no file of a run. Run takes the pinpad's lock, prepares the result
// files, connects, sends the start message and serves every request until
// the pinpad ends the transaction; the link test and the settings message
// are one exchange over the same session. The destructor closes the link, a
// held bank channel and the files.
class PPAD {
public:
    explicit PPAD(Tags* tags, const std::set<std::string>& hidden = {});
    virtual ~PPAD();
    PPAD(const PPAD&) = delete;
    PPAD& operator=(const PPAD&) = delete;

    // Asks the running transaction to stop: the request is handed to the
    // pinpad at its next poll. 0 when the pinpad may still be cancelled, 1
    // after the transaction ended, -1 otherwise. Safe from another thread.
    int Stop();
    std::string GetPathFile(const std::string& name, const std::string& directory) {
        return session_.GetPathFile(name, directory);
    }

    // The code stored while no result has come from the pinpad, and the
    // operation that cancels the last transaction.
    static constexpr int kNoResult = 999;
    static constexpr int kCancelOperation = 2;

    // What a request handler tells the serve loop (handlers/Request.h);
    // ProcessCommand reports these values as numbers.
    using Served = handlers::Served;
    static constexpr Served kGoOn = handlers::kGoOn;
    static constexpr Served kFileRefused = handlers::kFileRefused;
    static constexpr Served kTransactionEnded = handlers::kTransactionEnded;

    // Transaction loop.
    int Run(int operation, void* callback);
    // What the run of an operation does first, before it talks to the
    // pinpad: the pinpad's lock (ri::Exception when another run keeps it),
    // "no result" stored, the result files prepared.
    void BeginRun();
    int Start(const std::string& message);
    // Serves one request: kTransactionEnded (as a number) once the pinpad
    // ended the transaction, otherwise what the handler told the loop.
    int ProcessCommand(const std::string& payload) { return Serve(payload); }
    Served Serve(const std::string& payload);
    // Serves one request through a handler that sees only a Request: the
    // run's tags, the settings, the dialog bridge, the bank channel, the
    // reply, the log and the trace.
    Served ServeWith(Served (*serve)(handlers::Request&, const std::string&),
                     const std::string& argument);
    Served EndProcess();
    Served SpecialResult(const std::string& argument);
    Served PingRequest(const std::string& argument);
    Served BeginTransaction(const std::string& argument);
    Served StoreResult(const std::string& argument);
    Served CardRequest(const std::string& argument);

    // Message link (the session's).
    int SendMsg(const std::string& payload, bool allowEmpty = false,
                CardData::Payload kind = CardData::Payload::kText) {
        return session_.SendMsg(payload, allowEmpty, kind);
    }
    int SendOk();
    int SendError();
    // A handler's answer to the pinpad: the payload (as SendMsg), "OK",
    // "ER" or a number, after which the loop goes on.
    Served Answer(const std::string& payload, bool allowEmpty = false,
                  CardData::Payload kind = CardData::Payload::kText);
    Served AnswerOk();
    Served AnswerError();
    Served AnswerNumber(int value);
    std::string WaitMessage(int budget, long waitSeconds) {
        return session_.WaitMessage(budget, waitSeconds);
    }
    // Opens the serial line named by "PORT"; a bank channel still held is
    // dropped first, since a new link means a new transaction.
    int ComConnect(long timeoutMs);
    void ShutDown() { session_.ShutDown(); }
    std::string Encoding(const std::string& text) const { return session_.Encoding(text); }
    Served TraceMessage(const std::string& text);
    int Ping();
    int SetSettings(const std::string& data);

    // Tag exchange and result files.
    Served SendOWTags();
    Served RecvOWTags(const std::string& data);
    Served SendCard(const std::string& data);
    Served SendTotals(const std::string& data);
    std::string InitParamOperation(int operation);
    void SaveOutputFile();
    void SaveVarEnv();
    void PrintTags(Tags* tags);
    void TraceShown(const char* label, const std::string& text) const {
        session_.TraceShown(label, text);
    }
    std::string GetAmountStr(const std::string& amount);
    std::string FormatPAN(const std::string& pan);
    void GetPanExpDate(const std::string& track, std::string* pan, std::string* expiry);

    // Receipt printing.
    Served PrintMessage(const std::string& line);
    Served PrintRQ(const std::string& argument);
    Served PrintOperation(const std::string& details);
    void PrintTechCheck(int code);
    void PrintInitInfo(int operation);

    // Last-operation recovery and journal.
    int CheckLastStatus();
    void CancelLastOperation();
    void StoreCode(int code);
    Served SyncPPADTime();
    void CheckJL();
    void LogsControl();

    // Cardholder dialogs.
    Served StatusMessage(const std::string& text);
    Served Warning(const std::string& text);
    Served Info(const std::string& text);
    Served YesNoRequest(const std::string& text);
    Served MenuRequest(const std::string& text);
    Served DataRequest(const std::string& text);
    Served AmountRequest(const std::string& text);
    Served DialogRequest(const std::string& argument);
    Served DialogResponse(const std::string& text);
    Served PhoneNumber(const std::string& number);
    Served I344Process(const std::string& commands);

    // Mifare card reading.
    Served MifareProcess(const std::string& text);

    // Puts a ready transport behind the link (tests drive the engine through
    // a fake one); the engine takes ownership.
    void AttachTransport(ITransport* transport) { session_.Attach(transport); }
    PinpadSession& Session() { return session_; }
    Cashreq& Settings() { return config_.settings; }
    Dialog& Dialogs() { return dialog_; }
    const std::string& StatusFileName() const { return session_.StatusFileName(); }

protected:
    // The status file: one byte, 0x01 while a transaction is open.
    std::string StatusFilePath() { return session_.StatusFilePath(); }
    void WriteStatus(char state);
    std::string Setting(const std::string& key) const { return session_.Setting(key); }
    long Number(const std::string& key) const { return session_.Number(key); }
    bool Has(const std::string& key) const { return session_.Has(key); }
    // Opens the pinpad link named by "PORT" (a held bank channel dropped
    // first): 0 connected, -1 the TCP relay failed, -2 the serial port
    // failed, -3 the name is no port.
    int Connect(long comTimeoutMs);
    bool LinkUp() const { return session_.LinkUp(); }
    std::string PathIn(const std::string& name, const std::string& directory) const {
        return session_.PathIn(name, directory);
    }
    // Serves the pinpad's requests, reply first, waiting for each with the
    // budget and wait of WaitMessage: true once the pinpad ended the
    // transaction, false when it stayed silent past the idle deadline (moved
    // on by every request served) or dropped the link.
    bool ServeRequests(std::string reply, int budget, long wait,
                       std::chrono::steady_clock::time_point idleDeadline,
                       std::chrono::milliseconds idle);
    std::string Adv_disp(std::string& stream);
    // The result files by their settings, resolved against their folders.
    void ResolveResultFiles();
    // Before the transaction: the run files admitted, those of an earlier
    // run removed, the result and cheque writers opened.
    void PrepareResultFiles();

    // Time-out settings of 0, below 0 or beyond their bound are replaced by
    // their defaults, with a warning in the logs.
    void CheckTimeouts();
    // The value of a time-out setting in milliseconds, or fallback (stored
    // in its place, with a warning in the trace and, when toLog, in the
    // engine log) when it is not in 1..most.
    long TimeoutSetting(const char* key, long fallback, long most, bool toLog);
    // Deletes a regular file of an earlier run; one that stays is noted as
    // unwritable.
    void Remove(const std::string& path);
    // Notes a file of this run that cannot be written (a path not set is none).
    void Unwritable(const std::string& path, const char* reason = "cannot be written");
    // Why path cannot be a file of the run (a link, a folder, a socket, a
    // pipe nobody reads; with regularOnly anything but a regular file), or
    // null when it can.
    static const char* RunFileRefusal(const std::string& path, bool regularOnly);
    // Whether path may be a file of the run; one that may not is noted as
    // unwritable with its reason, and nothing at it is touched.
    bool Admitted(const std::string& path, bool regularOnly = false);
    // Whether every file this run writes can be written: false, with the
    // reason in the logs, when one cannot.
    bool CheckResultFiles();
    // A transaction the pinpad never ended that stored a success: reported
    // as unanswered, as the next run will treat it.
    int UnendedResult(int result);
    int RunOperation(int operation, void* callback);
    void RunFailed(const char* what);
    bool ConnectForRun();
    bool LoadOperationTables();
    void AutodetectOperations();
    bool LoadConversion(const char* key, const char* what, OpsTIDConv* table);
    // Result tags completed on "SETTAGS:", the card field of the start
    // message, and the message of a result code.
    void CompleteResultTags();
    // Whether a tag list of a request is whole; false, logged, when not.
    bool WholeTagList(const char* handler, const std::string& data);
    std::string StartCardData();
    std::string ResultText(int code);
    // A Mifare parameter of the session as a number.
    int MifareNumber(const char* name) const;

    // The settings, logs, dialog bridge, link and lock; the names below are
    // the session's parts as the handlers use them.
    PinpadSession session_;
    Tags* tags_;
    ri::Trace* trace_;
    Logger& log_;
    PinpadLink& link_;
    EngineSettings& config_;
    Dialog& dialog_;
    FileWritter& trace_writer_;
    bool printer_esc_ = false;
    // The run's result and cheque files and printed flag.
    RunOutputs outputs_;
    // The first file of this run that cannot be written, empty when none.
    std::string unwritable_;
    const char* unwritable_reason_ = "";
    const bool logging_;
    std::atomic<int> cancel_answer_{0};
    std::atomic<bool> stop_request_{false};
    // The channel to the bank host the pinpad opens through the register.
    BankChannel bank_;
};

// Pads an amount on the left with "0" to twelve characters; an amount longer
// than twelve characters gives twelve zeros.
void formatAmount(const std::string& amount, std::string& out);

#endif
