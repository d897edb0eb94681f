#ifndef VELPAD_ENGINE_PPAD_H
#define VELPAD_ENGINE_PPAD_H

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "config/CardData.h"
#include "config/Tags.h"
#include "engine/BankChannel.h"
#include "engine/RunOutputs.h"
#include "engine/handlers/Request.h"
#include "engine/handlers/RunRecords.h"
#include "engine/ledger/RunLedger.h"
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
    // settingsDir: where the session finds its settings and places its
    // files instead of the working directory (PinpadSession).
    explicit PPAD(Tags* tags, const std::set<std::string>& hidden = {},
                  const std::string& settingsDir = "");
    virtual ~PPAD();
    PPAD(const PPAD&) = delete;
    PPAD& operator=(const PPAD&) = delete;

    // The code stored while no result has come from the pinpad, and the
    // operation that cancels the last transaction.
    static constexpr int kNoResult = handlers::kNoResult;
    static constexpr int kCancelOperation = 2;

    // What a request handler tells the serve loop (handlers/Request.h);
    // ProcessCommand reports these values as numbers.
    using Served = handlers::Served;
    static constexpr Served kGoOn = handlers::kGoOn;
    static constexpr Served kFileRefused = handlers::kFileRefused;
    static constexpr Served kTransactionEnded = handlers::kTransactionEnded;

    // Asks the running transaction to stop: the request is handed to the
    // pinpad at its next poll. 0 when the pinpad may still be cancelled, 1
    // after the transaction ended, -1 otherwise. Safe from another thread.
    int Stop();

    // Transaction loop.
    int Run(int operation, void* callback);
    // What the run of an operation does first, before it talks to the
    // pinpad: the pinpad's lock (ri::Exception when another run keeps it),
    // "no result" stored, the result files prepared.
    void BeginRun();
    std::string InitParamOperation(int operation);
    // The transaction's serving calls work on the run's own tags, or on
    // another tag store given (the cancellation of a transaction left open
    // keeps one of its own, so the caller's tags stay untouched).
    int Start(const std::string& message, Tags* tags = nullptr);
    // Serves one request: kTransactionEnded (as a number) once the pinpad
    // ended the transaction, otherwise what the handler told the loop.
    int ProcessCommand(const std::string& payload) { return Serve(payload); }
    Served Serve(const std::string& payload, Tags* tags = nullptr);

    // The link test and the settings message: one exchange each.
    int Ping();
    int SetSettings(const std::string& data);
    // Opens the serial line named by "PORT"; a bank channel still held is
    // dropped first, since a new link means a new transaction.
    int ComConnect(long timeoutMs);

    // Last-operation recovery, result codes and the journal.
    int CheckLastStatus();
    void CancelLastOperation();
    void StoreCode(int code, Tags* tags = nullptr);
    void PrintTechCheck(int code, Tags* tags = nullptr);
    void CheckJL();
    void LogsControl();

    std::string GetPathFile(const std::string& name, const std::string& directory) {
        return session_.GetPathFile(name, directory);
    }
    // Puts a ready transport behind the link (tests drive the engine through
    // a fake one); the engine takes ownership.
    void AttachTransport(ITransport* transport) { session_.Attach(transport); }
    PinpadSession& Session() { return session_; }
    Cashreq& Settings() { return config_.settings; }
    Dialog& Dialogs() { return dialog_; }
    // The bank channel (fuzzing puts a fake one behind it).
    BankChannel& Bank() { return bank_; }
    const std::string& StatusFileName() const { return session_.StatusFileName(); }

protected:
    std::string Setting(const std::string& key) const { return session_.Setting(key); }
    long Number(const std::string& key) const { return session_.Number(key); }
    bool Has(const std::string& key) const { return session_.Has(key); }
    // Opens the pinpad link named by "PORT" (a held bank channel dropped
    // first): 0 connected, -1 the TCP relay failed, -2 the serial port
    // failed, -3 the name is no port.
    int Connect(long comTimeoutMs);
    int Exchange(const std::string& message);
    // What a handler sees of this transaction for one request.
    handlers::Request RequestFor(handlers::Reply& reply, Tags& tags);
    Tags& TagsOr(Tags* tags) { return tags != nullptr ? *tags : *tags_; }
    // Serves the pinpad's requests, reply first, taking each next one from
    // next (a wait of the link): true once the pinpad ended the transaction,
    // false when it stayed silent past the idle deadline (moved on by every
    // request served) or dropped the link.
    bool ServeRequests(std::string reply, const std::function<std::string()>& next,
                       std::chrono::steady_clock::time_point idleDeadline,
                       std::chrono::milliseconds idle, Tags& tags);
    void StopIfLost();
    // The result files by their settings, resolved against their folders.
    void ResolveResultFiles();
    int RunOperation(int operation, void* callback);
    void RunFailed(const char* what);
    // A transaction the pinpad never ended that stored a success: reported
    // as unanswered, as the next run will treat it.
    int UnendedResult(int result);
    // Closes a transaction the pinpad ended: its files kept, the status
    // "closed"; what the run reports (the failure when a file was lost).
    int CloseTransaction(int result, Tags& tags);
    bool ConnectForRun();

    // The settings, logs, dialog bridge, link and lock; the names below are
    // the session's parts as the transaction uses them.
    PinpadSession session_;
    Tags* tags_;
    ri::Trace* trace_;
    Logger& log_;
    PinpadLink& link_;
    EngineSettings& config_;
    Dialog& dialog_;
    // The run's result and cheque files, printed flag and the files checked
    // before the start message.
    RunOutputs outputs_;
    // The record of each operation the run starts.
    RunLedger ledger_;
    // The stop request, what Stop reports, the printer's escapes.
    handlers::RunState state_;
    const bool logging_;
    // Whether the pinpad ended the transaction of this run, and whether it
    // was asked to stop because a file of the run was lost.
    bool ended_ = false;
    bool stopped_for_loss_ = false;
    // The channel to the bank host the pinpad opens through the register.
    BankChannel bank_;
};

#endif
