#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "engine/ledger/LedgerConnection.h"

// The ledger connections of this process kept open between runs. A ledger
// closed at the end of a run hands its connection over, and the next run
// that opens the same file takes it back instead of opening the file anew,
// which would rebuild the write-ahead log's index from the log, read the
// schema and parse every statement again. A connection is handed back only
// in the process that opened it and only while the database, its
// write-ahead log and its shared index are the very files they were when it
// was opened (device and inode; for the database also its rights and owner,
// so the file opens as it did); otherwise it is dropped and the file opened
// anew. An idle connection holds no lock that keeps another run or process
// from reading or writing the ledger.
class KeptLedgers {
public:
    // What the three files of a ledger were when its connection was opened.
    struct Files {
        dev_t device[3] = {};
        ino_t inode[3] = {};
        mode_t mode = 0;
        uid_t owner = 0;
        gid_t group = 0;
        pid_t process = 0;
    };

    // The files of the ledger at path as they are now; false when one of
    // them is missing or is not a regular file.
    static bool Identify(const std::string& path, Files* files);
    // The connection kept for path (with the files it was opened on), when
    // its files are still those; else nullptr.
    static std::unique_ptr<LedgerConnection> Take(const std::string& path, Files* files);
    // Keeps an idle connection to path, opened on files, for a later Take.
    static void Keep(const std::string& path, const Files& files,
                     std::unique_ptr<LedgerConnection> connection);
};
