#ifndef VELPAD_ENGINE_SESSION_PINPADSESSION_H
#define VELPAD_ENGINE_SESSION_PINPADSESSION_H

#include <chrono>
#include <functional>
#include <set>
#include <string>

#include "config/CardData.h"
#include "config/SettingRules.h"
#include "config/Tags.h"
#include "engine/Dialog.h"
#include "engine/EngineSettings.h"
#include "engine/PinpadLink.h"
#include "ri/FileLock.h"
#include "ri/FileWritter.h"
#include "ri/Logger.h"
#include "transport/ITransport.h"

namespace ri {
class Trace;
}

// What every way of serving a pinpad shares: the settings ("cashreg.ini"
// overlaid with the caller's parameters, port and relay suffixes applied),
// the logs and trace, the dialog bridge, the pinpad link with its wait rules
// and the pinpad's lock. Making a session reads settings and opens logs; it
// deletes, writes and locks no file of a run. The transaction (PPAD) and the
// host-driven modes each own one.
class PinpadSession {
public:
    // How Connect ended.
    enum Connected : int {
        kConnected = 0,
        kRelayFailed = -1,
        kSerialFailed = -2,
        kNoPort = -3,
    };
    // Makes the transport a connect puts behind the link instead of opening
    // "PORT" (tests and fuzzing drive a session through a fake one); null
    // when none is left.
    using TransportSource = std::function<ITransport*()>;

    // Caller's parameters named in hidden do not become settings. The
    // settings are found from settingsDir, and every relative path of the
    // session's files is taken from it, as from the working directory when
    // it is empty (Registry).
    explicit PinpadSession(Tags* tags, const std::set<std::string>& hidden = {},
                           const std::string& settingsDir = "");
    ~PinpadSession();
    PinpadSession(const PinpadSession&) = delete;
    PinpadSession& operator=(const PinpadSession&) = delete;

    // Settings helpers that never add a key: the value of a key (empty when
    // absent), the value read as a number, and whether a key is present.
    std::string Setting(const std::string& key) const { return config_.Setting(key); }
    long Number(const std::string& key) const { return config_.Number(key); }
    bool Has(const std::string& key) const { return config_.Has(key); }
    // The path of a file name: a name with a folder stands as it is, a bare
    // name goes into directory (the settings directory when it is empty);
    // a relative result is taken from the directory the session was made
    // over, when it was given one.
    // GetPathFile traces what it resolves; PathIn does not.
    std::string GetPathFile(const std::string& name, const std::string& directory) const;
    std::string PathIn(const std::string& name, const std::string& directory) const;
    // The status file (one byte, 0x01 while a transaction is open) and its
    // name, with the port and relay suffixes.
    std::string StatusFilePath() const;
    const std::string& StatusFileName() const { return status_file_; }
    // Whether the status file shows a transaction open (a first byte of
    // 0x01..0x7F).
    bool StatusOpen() const;
    // The value of a time-out setting in milliseconds, or its fallback
    // (stored in its place, with a warning in the trace and, when toLog, in
    // the engine log) when it is out of its bounds.
    long BoundTimeout(const SettingRules::Timeout& timeout, bool toLog);
    // Whether logs and result files are kept ("DISABLE_LOG" is not "1").
    bool Logging() const { return logging_; }
    // Whether the cashier sees no dialog: "NODIALOGS" (a setting, or the
    // caller's tag of "1"), or an exchange outside a transaction under way.
    bool NoDialogs() const { return quiet_ || Has("NODIALOGS"); }
    // Whether this installation keeps the status file (no dialogs or
    // "NO_CHECK_LAST_OP" switch it off).
    bool StatusKept() const { return !NoDialogs() && !Has("NO_CHECK_LAST_OP"); }
    // Keeps every dialog from the cashier while an exchange outside a
    // transaction (the link test, the settings message) is under way.
    void Quiet(bool quiet) { quiet_ = quiet; }

    // Takes the lock of the pinpad named by the status file, waiting at most
    // "PPAD_LOCK_TO" milliseconds; raises ri::Exception when another run
    // keeps it or a link or other non-file stands at the lock file.
    void Lock();
    // Opens the pinpad link named by "PORT" (or from the transport source).
    Connected Connect(long comTimeoutMs);
    void UseTransports(TransportSource source) { source_ = std::move(source); }
    // Puts a ready transport behind the link; the session takes ownership.
    // The link's wait rules are fixed here, from the settings and the
    // caller's switches, for as long as the link stays open.
    void Attach(ITransport* transport);
    bool LinkOpen() const { return link_.IsOpen(); }
    // Whether the pinpad link is open and its other side still there.
    bool LinkUp() const { return link_.Up(); }
    void ShutDown();

    // Sends one payload ("OK" for an empty one unless allowEmpty); kind tells
    // the logs where it holds card data.
    int SendMsg(const std::string& payload, bool allowEmpty = false,
                CardData::Payload kind = CardData::Payload::kText);
    // Waits for one frame for at most wait (held to the idle time-out),
    // answering silence and broken frames with NAKs while the budget lasts,
    // the budget held to the NAKs of "TIMEOUT" that fit the wait; empty when
    // none came. Every wait of the engine comes down to this one.
    std::string WaitFor(int budget, std::chrono::milliseconds wait);
    // The wait of the host-driven modes and of an exchange, in seconds (-1:
    // 60). Its budget is held as the pinpad's tools expect it, comparing the
    // NAKs' "TIMEOUT" milliseconds with the seconds of the wait, so that any
    // wait of a minute or less sends no NAK when TIMEOUT is a second.
    std::string WaitMessage(int budget, long waitSeconds);

    // A pinpad text in the cashier's character set ("OPCHARSET").
    std::string Encoding(const std::string& text) const;
    // "label" and the pinpad's text as the card-data renderer shows it, at
    // trace level 4; the text is rendered only when the trace takes the line.
    void TraceShown(const char* label, const std::string& text) const;

    Tags* tags() const { return tags_; }
    ri::Trace& trace() const { return *trace_; }
    Logger& log() { return log_; }
    EngineSettings& config() { return config_; }
    const EngineSettings& config() const { return config_; }
    Dialog& dialog() { return dialog_; }
    PinpadLink& link() { return link_; }
    FileWritter& pinpadTrace() { return trace_writer_; }

private:
    void CopyParams(const std::set<std::string>& hidden);
    void TakeCallerSwitches();
    int ComConnect(long timeoutMs);
    std::string Wait(int budget, std::chrono::milliseconds wait);
    int FittingBudget(int budget, long wait) const;
    int EthConnect();

    Tags* tags_;
    ri::Trace* trace_;
    // Held for the session's whole life, released after everything else.
    ri::FileLock pinpad_lock_;
    Logger log_;
    PinpadLink link_{log_, *trace_};
    EngineSettings config_;
    Dialog dialog_;
    FileWritter trace_writer_;
    TransportSource source_;
    // How the link's waits go, fixed when a transport is attached: the
    // frame and silence rules, the idle time-out that bounds every wait, and
    // whether NAKs are off ("DISABLE_NAK").
    PinpadLink::WaitRules wait_rules_;
    std::chrono::milliseconds idle_{0};
    bool disable_nak_ = false;
    std::string status_file_ = "lastop.stb";
    bool logging_ = true;
    bool quiet_ = false;
};

#endif
