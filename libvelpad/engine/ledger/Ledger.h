#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ledger/KeptLedgers.h"
#include "engine/ledger/LedgerConnection.h"
#include "engine/ledger/LedgerRecord.h"

// The ledger of operations: an SQLite database of one record per operation
// a run starts. Every change is one transaction, committed in WAL mode with
// full synchronisation, so a record the ledger said it wrote survives a
// crash and a power cut. Errors are returned as texts naming the file and
// SQLite's reason; nothing throws.
class Ledger {
public:
    Ledger() = default;
    ~Ledger();
    Ledger(const Ledger&) = delete;
    Ledger& operator=(const Ledger&) = delete;

    // Opens (creating when asked) the database at path, waiting at most
    // busyMs for another run that writes it. A ledger opened to write takes
    // the connection an earlier run of the process kept (KeptLedgers), and
    // hands its own over when it is destroyed with no change left open and
    // no failure met.
    bool Open(const std::string& path, bool create, long busyMs);
    bool IsOpen() const { return connection_ != nullptr; }
    const std::string& Error() const { return error_; }

    // In one synchronised transaction: when settle is set, the records
    // left pending by a run that never completed them become "interrupted"
    // (their ids in *interrupted); records older than days (when above 0)
    // and beyond the newest maxRecords with the new one (when above 0) are
    // pruned, pending ones never; and the new record is stored pending with
    // its id set.
    bool Begin(LedgerRecord* record, bool settle, long days, long maxRecords,
               std::vector<long long>* interrupted);
    // Stores everything the run learned of a record (by its id).
    bool Complete(const LedgerRecord& record);
    // Notes what was done about interrupted records that have no note yet.
    bool NoteRecovery(const std::string& recovery);
    // The newest count records, oldest first.
    bool Last(int count, std::vector<LedgerRecord>* records);

private:
    bool MakeFile();
    bool OpenFile(bool create, long busyMs);
    int SchemaVersion();
    bool Execute(const char* sql);
    // One statement, prepared once for the connection.
    bool Step(const char* sql);
    bool Fail(const char* what);
    bool Prune(long days, long maxRecords);

    std::unique_ptr<LedgerConnection> connection_;
    sqlite3* db_ = nullptr;  // the connection's
    std::string path_;
    std::string error_;
    // The files the connection was opened on, when it may be kept.
    KeptLedgers::Files files_;
    bool keep_ = false;
};
