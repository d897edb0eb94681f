#ifndef VELPAD_ENGINE_PPAD_H
#define VELPAD_ENGINE_PPAD_H

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "config/CardData.h"
#include "config/OpsTIDConv.h"
#include "config/Tags.h"
#include "engine/BankChannel.h"
#include "engine/Dialog.h"
#include "engine/EngineSettings.h"
#include "engine/PinpadLink.h"
#include "engine/RunOutputs.h"
#include "ri/FileLock.h"
#include "ri/FileWritter.h"
#include "ri/Logger.h"
#include "transport/ITransport.h"

namespace ri {
class Trace;
}

// The pinpad session engine. One engine serves exactly one run: the
// constructor gathers the settings ("cashreg.ini" overlaid with the caller's
// parameters), directories, logs, code tables and result-file writers; Run
// connects to the pinpad, sends the start message and serves every request
// until the pinpad ends the transaction; the destructor closes the link, a
// held bank channel and the files.
class PPAD {
public:
    explicit PPAD(Tags* tags);
    virtual ~PPAD();
    PPAD(const PPAD&) = delete;
    PPAD& operator=(const PPAD&) = delete;

    // Asks the running transaction to stop: the request is handed to the
    // pinpad at its next poll. 0 when the pinpad may still be cancelled, 1
    // after the transaction ended, -1 otherwise. Safe from another thread.
    int Stop();
    void CopyParams();
    std::string GetPathFile(const std::string& name, const std::string& directory);
    // The rule of GetPathFile without its trace lines: a name with a folder
    // stands as it is, a bare name goes into directory (the settings
    // directory when directory is empty).
    std::string PathIn(const std::string& name, const std::string& directory) const;

    // The code stored while no result has come from the pinpad, and the
    // operation that cancels the last transaction.
    static constexpr int kNoResult = 999;
    static constexpr int kCancelOperation = 2;

    // What a request handler tells the serve loop once it has answered the
    // pinpad (or, where the protocol wants no answer, left it unanswered).
    // ProcessCommand reports these values as numbers.
    enum Served : int {
        // Answered; the loop waits for the next request.
        kGoOn = 0,
        // A file request answered "ER"; the loop waits for the next request.
        kFileRefused = -2,
        // The pinpad ended the transaction; the loop ends.
        kTransactionEnded = -3,
    };

    // Transaction loop.
    int Run(int operation, void* callback);
    int Start(const std::string& message);
    // Serves one request: kTransactionEnded (as a number) once the pinpad
    // ended the transaction, otherwise what the handler told the loop.
    int ProcessCommand(const std::string& payload) { return Serve(payload); }
    Served Serve(const std::string& payload);
    Served EndProcess();
    Served SpecialResult(const std::string& argument);
    Served PingRequest(const std::string& argument);
    Served BeginTransaction(const std::string& argument);
    Served StoreResult(const std::string& argument);
    Served CardRequest(const std::string& argument);

    // Message link.
    // kind tells the logs where the payload holds card data.
    int SendMsg(const std::string& payload, bool allowEmpty = false,
                CardData::Payload kind = CardData::Payload::kText);
    int SendOk();
    int SendError();
    // A handler's answer to the pinpad: the payload (as SendMsg), "OK",
    // "ER" or a number, after which the loop goes on.
    Served Answer(const std::string& payload, bool allowEmpty = false,
                  CardData::Payload kind = CardData::Payload::kText);
    Served AnswerOk();
    Served AnswerError();
    Served AnswerNumber(int value);
    std::string WaitMessage(int budget, long waitSeconds);
    // Waits for one frame until deadline, answering silence and broken
    // frames with NAKs while the budget lasts; empty when none came.
    std::string WaitFrame(int budget, std::chrono::steady_clock::time_point deadline);
    int ComConnect(long timeoutMs);
    int EthConnect();
    void ShutDown();
    std::string Encoding(const std::string& text);
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
    // "label" and the pinpad's text as the card-data renderer shows it, at
    // trace level 4; the text is rendered only when the trace takes the line.
    void TraceShown(const char* label, const std::string& text);
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

    // Device channels to the bank host.
    Served OpenDevice(const std::string& kind);
    Served ConnectDevice(const std::string& argument);
    Served IoctlDevice(const std::string& argument);
    Served WriteDevice(const std::string& argument);
    Served ReadDevice(const std::string& argument);
    Served DisconnectDevice(const std::string& argument);
    Served CloseDevice(const std::string& argument);

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

    // File transfer and terminal management.
    Served SendFile(const std::string& name);
    Served ReceiveFile(const std::string& payload);
    Served TMSIDRequest();
    Served TMSSCRIPTRequest();

    // Basket of goods.
    Served RequestBasketHeader(const std::string& argument);
    Served RequestBasketItem(const std::string& argument);
    Served UpdateBasketItem(const std::string& argument);

    // Mifare card reading.
    Served MifareProcess(const std::string& text);

    // Puts a ready transport behind the link (tests drive the engine through
    // a fake one); the engine takes ownership.
    void AttachTransport(ITransport* transport) { link_.Attach(transport); }
    Cashreq& Settings() { return config_.settings; }
    Dialog& Dialogs() { return dialog_; }
    const std::string& StatusFileName() const { return outputs_.statusFile; }

protected:
    // The status file: one byte, 0x01 while a transaction is open.
    std::string StatusFilePath();
    void WriteStatus(char state);
    // Settings helpers that never add a key: the value of a key (empty when
    // absent), the value read as a number, and whether a key is present.
    std::string Setting(const std::string& key) const { return config_.Setting(key); }
    long Number(const std::string& key) const { return config_.Number(key); }
    bool Has(const std::string& key) const { return config_.Has(key); }
    // Opens the pinpad link named by "PORT": 0 connected, -1 the TCP relay
    // failed, -2 the serial port failed, -3 the name is no port. Virtual so
    // that a test can put a scripted pinpad behind a whole run.
    virtual int Connect(long comTimeoutMs);
    // Whether the pinpad link is open and its other side still there.
    bool LinkUp() const { return link_.Up(); }
    // Serves the pinpad's requests, reply first, waiting for each with the
    // budget and wait of WaitMessage: true once the pinpad ended the
    // transaction, false when it stayed silent past the idle deadline (moved
    // on by every request served) or dropped the link.
    bool ServeRequests(std::string reply, int budget, long wait,
                       std::chrono::steady_clock::time_point idleDeadline,
                       std::chrono::milliseconds idle);
    std::string Adv_disp(std::string& stream);
    void PrepareResultFiles();
    // Takes the lock of the pinpad named by the status file, waiting at most
    // "PPAD_LOCK_TO" milliseconds; raises ri::Exception when another run
    // keeps it.
    void LockPinpad();
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
    // The path of a file the pinpad names in the exchange directory of a
    // setting ("GETFILEPATH", "PUTFILEPATH"; the work path without it).
    std::string ExchangeFile(const char* key, const std::string& name);
    // The installation's own files as paths: settings and code tables, run
    // files, status and lock, journal and logs.
    std::vector<std::string> OwnFiles() const;
    // Why the pinpad may not read or replace the file name at path (a
    // program, a library, a link, no regular file, an executable file, a file
    // of the installation or of its log folder), or null when it may.
    const char* ExchangeRefusal(const std::string& name, const std::string& path) const;
    // Refuses a file request: the reason in the log, "ER" to the pinpad.
    Served RefuseFile(const char* handler, const std::string& name, const char* reason);
    // A basket parameter, which must exist (else "no " + name is raised).
    std::string BasketValue(const std::string& name) const;
    // A Mifare parameter of the session as a number.
    int MifareNumber(const char* name) const;

    // Held for the engine's whole life, released after everything else.
    ri::FileLock pinpad_lock_;
    bool printer_esc_ = false;
    Tags* tags_;
    ri::Trace* trace_;
    Logger log_;
    PinpadLink link_{log_, *trace_};
    // The settings, directories and code and operation tables.
    EngineSettings config_;
    Dialog dialog_;
    // The run's result and cheque files, printed flag and status file name.
    RunOutputs outputs_;
    FileWritter trace_writer_;
    // The first file of this run that cannot be written, empty when none.
    std::string unwritable_;
    const char* unwritable_reason_ = "";
    bool logging_ = true;
    std::atomic<int> cancel_answer_{0};
    std::atomic<bool> stop_request_{false};
    // The channel to the bank host the pinpad opens through the register.
    BankChannel bank_;
};

// Pads an amount on the left with "0" to twelve characters; an amount longer
// than twelve characters gives twelve zeros.
void formatAmount(const std::string& amount, std::string& out);

#endif
