#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "engine/ledger/Ledger.h"

class PinpadSession;
class Tags;

// The ledger as a run keeps it: the database named by "LEDGER_FILE" (in the
// work folder, with the port and relay suffixes of the status file; off with
// "NO_LEDGER"), one record per operation the run starts, the automatic
// cancellation of a transaction left open among them. A record is stored
// pending before the start message and completed before the status file
// reads "closed", so a run that dies leaves a pending record the next run
// marks "interrupted". With "LEDGER_SYSLOG" each completed record also goes
// to the system log as one line.
class RunLedger {
public:
    // The ledger's file, empty when it is off.
    static std::string PathFor(const PinpadSession& session);

    // Stores the pending record of an operation (opening the ledger on first
    // use); false, with the reason in the engine log, when it cannot be
    // written. A recovery record is the cancellation of a transaction left
    // open.
    bool Begin(PinpadSession& session, const Tags& tags, int operation, bool recovery);
    // Completes the newest open record from the operation's tags and result:
    // ended tells whether the pinpad ended the transaction; a run that did
    // not is "interrupted" while the status file shows it open. True when
    // the ledger is off or no record is open; false (logged) when the
    // record could not be stored. May be called again to amend it.
    bool Complete(PinpadSession& session, const Tags& tags, int result, bool ended);
    // Drops the newest open record from the run's care.
    void Close();
    // Notes on the interrupted records what the cancellation of the newest
    // open record did about them.
    void NoteRecovery(PinpadSession& session);
    const std::string& Path() const { return path_; }

private:
    struct Open {
        LedgerRecord record;
        std::chrono::steady_clock::time_point start;
        bool recovery = false;
    };

    bool Failed(PinpadSession& session);

    Ledger ledger_;
    std::string path_;
    std::vector<Open> open_;
};
