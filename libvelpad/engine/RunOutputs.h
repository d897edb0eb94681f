#ifndef VELPAD_ENGINE_RUNOUTPUTS_H
#define VELPAD_ENGINE_RUNOUTPUTS_H

#include <string>

#include "ri/FileWritter.h"
#include "ri/KnownFile.h"

class PinpadSession;
class Logger;

// What a run writes for its caller besides the tags: the result file (the
// code as three digits), the cheque file (the slip, or a technical check),
// whether a slip was printed, and the output and variable-environment files.
// The cancellation of a transaction left open diverts the result and cheque
// to files of its own for its time. Before its start message a run prepares
// them (Prepare) and checks that it can keep them (Check).
class RunOutputs {
public:
    // Where the writers stood before a diversion.
    struct Mark {
        std::string resultPath;
        std::string chequePath;
        bool printed = false;
    };

    // Puts each writer on its given file (an empty path leaves a writer where
    // it is) and clears the printed flag; returns where they stood.
    Mark Divert(const std::string& resultPath, const std::string& chequePath);
    // Puts the writers back on the files of the mark; a writer left on
    // another file is reopened on its own, which starts that file anew.
    void Restore(const Mark& mark);

    // Admits the run files named by the session's settings, removes the
    // regular files an earlier run left and opens the result and cheque
    // writers; a name that cannot hold a file of the run is left as it is.
    void Prepare(const PinpadSession& session);
    // Whether every file the run writes can be written (the status file too
    // when it is kept): false, with the file and the reason in log, when one
    // cannot, so that the run stops before its start message.
    bool Check(const PinpadSession& session, bool statusKept, Logger& log);
    // Notes a file of the run that lost a write or a sync after the start
    // message (the first one counts).
    void Lost(const std::string& path);
    // The first file of the run that lost a write or a sync since the start
    // message (the result and cheque writers' included), empty when none.
    std::string LostFile() const;
    // Puts the result, cheque, output and exchange files of the transaction
    // on the disk whole: each regular one replaced by its content atomically
    // and synced (ri/RunFile.h); a device or a pipe took its bytes as a
    // stream. False, with the file noted as lost, when a step fails.
    bool Commit(Logger& log);

    FileWritter result;
    FileWritter cheque;
    // The output and variable-environment files, rewritten after each tag list.
    ri::KnownFile outputFile;
    ri::KnownFile exchangeFile;
    bool printed = false;

private:
    // Whether path may be a file of the run; one that may not is noted with
    // its reason, and nothing at it is touched.
    bool Admitted(const PinpadSession& session, const std::string& path, bool regularOnly = false);
    // Deletes a regular file of an earlier run; one that stays is noted.
    void Remove(const PinpadSession& session, const std::string& path);
    void Unwritable(const PinpadSession& session, const std::string& path,
                    const char* reason = "cannot be written");

    bool Replace(const std::string& path, const std::string& content, Logger& log);

    // The first file of this run that cannot be written, empty when none.
    std::string unwritable_;
    // The first file of this run that lost a write after the start message.
    std::string lost_;
    const char* unwritable_reason_ = "";
};

#endif
