// The files a run writes are checked before the pinpad is asked for
// anything: a run that could not keep its result, its slip or its status
// would report a payment nobody can print, or hide one from the next run.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "engine/PPAD.h"
#include "ri/File.h"
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

}  // namespace

// What stands in the way of a file of the run at path, or null when nothing
// does. A run file is a regular file the library owns, or a character device
// or a pipe that a reader holds open, written into as a stream; it is never
// written through a symbolic link, and a pipe nobody reads would lose it.
const char* PPAD::RunFileRefusal(const std::string& path, bool regularOnly) {
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

bool PPAD::Admitted(const std::string& path, bool regularOnly) {
    if (path.empty()) return true;
    const char* refusal = RunFileRefusal(path, regularOnly);
    if (refusal == nullptr) return true;
    Unwritable(path, refusal);
    return false;
}

// Only a regular file of an earlier run is deleted: a device or a pipe at the
// name stays what it is.
void PPAD::Remove(const std::string& path) {
    if (path.empty() || ri::File::KindOf(path) != ri::File::Kind::kRegular) return;
    if (!ri::File::Delete(path) && ri::File::Exists(path)) Unwritable(path);
}

void PPAD::Unwritable(const std::string& path, const char* reason) {
    if (path.empty()) return;
    trace_->Error("PPAD: file [%s] %s", path.c_str(), reason);
    if (!unwritable_.empty()) return;
    unwritable_ = path;
    unwritable_reason_ = reason;
}

bool PPAD::CheckResultFiles() {
    const bool statusWritten = !Has("NODIALOGS") && !Has("NO_CHECK_LAST_OP");
    if (statusWritten) Admitted(StatusFilePath(), true);
    if (!logging_ && unwritable_.empty()) return true;
    std::string failed = unwritable_;
    if (failed.empty() && statusWritten && !Writable(StatusFilePath())) failed = StatusFilePath();
    const std::string output = Setting("OUTPUT_FILE");
    if (failed.empty() && !output.empty() && !Writable(output)) failed = output;
    if (failed.empty()) return true;
    const char* reason = failed == unwritable_ ? unwritable_reason_ : kCannotWrite;
    log_.Write("ERROR: file [%s] %s, no transaction is started", failed.c_str(), reason);
    return false;
}
