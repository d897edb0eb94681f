// The files a run writes are checked before the pinpad is asked for
// anything: a run that could not keep its result, its slip or its status
// would report a payment nobody can print, or hide one from the next run.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "engine/RunOutputs.h"
#include "engine/session/PinpadSession.h"
#include "ri/File.h"
#include "ri/Logger.h"
#include "ri/Trace.h"

namespace {

const char kCannotWrite[] = "cannot be written";

// Whether path can be written: an existing file opened for appending (so
// nothing in it changes), a new one by its folder.
bool Writable(const std::string& path) {
    if (ri::File::Exists(path)) return access(path.c_str(), W_OK) == 0;
    std::string folder = ri::File::GetFullPath(path);
    if (folder.empty()) folder = ".";
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

// What stands in the way of a file of the run at path, or null when nothing
// does. A run file is a regular file the library owns, or a character device
// or a pipe that a reader holds open, written into as a stream; it is never
// written through a symbolic link, and a pipe nobody reads would lose it.
const char* RunFileRefusal(const std::string& path, bool regularOnly) {
    const ri::File::Kind kind = ri::File::KindOf(path);
    if (kind == ri::File::Kind::kLink) return "is a symbolic link";
    if (kind == ri::File::Kind::kMissing || kind == ri::File::Kind::kRegular) return nullptr;
    if (regularOnly || !ri::File::TakesContent(kind)) return "is not a regular file";
    if (kind != ri::File::Kind::kFifo) return nullptr;
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return errno == ENXIO ? "is a pipe nobody reads" : "cannot be written";
    close(fd);
    return nullptr;
}

}  // namespace

// The files a run writes for its caller.
const char* const kRunFiles[] = {"CHEQ_FILE",    "RESULT_FILE",    "OUTPUT_FILE",
                                 "VAR_ENV_FILE", "CANCEL_RC_FILE", "CANCEL_CH_FILE"};

bool RunOutputs::Admitted(const PinpadSession& session, const std::string& path, bool regularOnly) {
    if (path.empty()) return true;
    const char* refusal = RunFileRefusal(path, regularOnly);
    if (refusal == nullptr) return true;
    Unwritable(session, path, refusal);
    return false;
}

// Only a regular file of an earlier run is deleted: a device or a pipe at the
// name stays what it is.
void RunOutputs::Remove(const PinpadSession& session, const std::string& path) {
    if (path.empty() || ri::File::KindOf(path) != ri::File::Kind::kRegular) return;
    if (!ri::File::Delete(path) && ri::File::Exists(path)) Unwritable(session, path);
}

void RunOutputs::Unwritable(const PinpadSession& session, const std::string& path,
                            const char* reason) {
    if (path.empty()) return;
    session.trace().Error("PPAD: file [%s] %s", path.c_str(), reason);
    if (!unwritable_.empty()) return;
    unwritable_ = path;
    unwritable_reason_ = reason;
}

// A name that cannot hold a file of the run is left exactly as it is (the
// run is refused before its start message); only regular files of an
// earlier run are removed, so that none is taken for this run's.
void RunOutputs::Prepare(const PinpadSession& session) {
    for (const char* key : kRunFiles) Admitted(session, session.Setting(key));
    Remove(session, session.Setting("CHEQ_FILE"));
    Remove(session, session.Setting("RESULT_FILE"));
    for (const char* key : {"VAR_ENV_FILE", "CANCEL_RC_FILE", "CANCEL_CH_FILE"})
        if (ri::File::KindOf(session.Setting(key)) == ri::File::Kind::kRegular)
            ri::File::Delete(session.Setting(key));
    if (unwritable_.empty() && result.Open(session.Setting("RESULT_FILE")) != 0)
        Unwritable(session, session.Setting("RESULT_FILE"));
    if (unwritable_.empty() && cheque.Open(session.Setting("CHEQ_FILE")) != 0)
        Unwritable(session, session.Setting("CHEQ_FILE"));
    if (session.Has("PPCHARSET") && session.Has("PRINTERCHARSET"))
        cheque.useCharsetEncoder(session.Setting("PPCHARSET"), session.Setting("PRINTERCHARSET"));
}

bool RunOutputs::Check(const PinpadSession& session, bool statusKept, Logger& log) {
    if (statusKept) Admitted(session, session.StatusFilePath(), true);
    if (!session.Logging() && unwritable_.empty()) return true;
    std::string failed = unwritable_;
    const std::string status = session.StatusFilePath();
    if (failed.empty() && statusKept && !Writable(status)) failed = status;
    const std::string output = session.Setting("OUTPUT_FILE");
    if (failed.empty() && !output.empty() && !Writable(output)) failed = output;
    if (failed.empty()) return true;
    const char* reason = failed == unwritable_ ? unwritable_reason_ : kCannotWrite;
    log.Write("ERROR: file [%s] %s, no transaction is started", failed.c_str(), reason);
    return false;
}
