// The files a run writes are checked before the pinpad is asked for
// anything: a run that could not keep its result, its slip or its status
// would report a payment nobody can print, or hide one from the next run.
#include <unistd.h>

#include "engine/PPAD.h"
#include "ri/File.h"
#include "ri/Trace.h"

namespace {

// Whether path can be written: an existing file opened for appending (so
// nothing in it changes), a new one by its folder.
bool Writable(const std::string& path) {
    if (ri::File::Exists(path)) return access(path.c_str(), W_OK) == 0;
    std::string folder = ri::File::GetFullPath(path);
    if (folder.empty()) folder = ".";
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

void PPAD::Remove(const std::string& path) {
    if (path.empty()) return;
    if (!ri::File::Delete(path) && ri::File::Exists(path)) Unwritable(path);
}

void PPAD::Unwritable(const std::string& path) {
    if (path.empty()) return;
    trace_->Error("PPAD: file [%s] cannot be replaced or written", path.c_str());
    if (unwritable_.empty()) unwritable_ = path;
}

bool PPAD::CheckResultFiles() {
    if (!logging_) return true;
    std::string failed = unwritable_;
    const bool statusWritten = !Has("NODIALOGS") && !Has("NO_CHECK_LAST_OP");
    if (failed.empty() && statusWritten && !Writable(StatusFilePath())) failed = StatusFilePath();
    const std::string output = Setting("OUTPUT_FILE");
    if (failed.empty() && !output.empty() && !Writable(output)) failed = output;
    if (failed.empty()) return true;
    log_.Write("ERROR: file [%s] cannot be written, no transaction is started", failed.c_str());
    return false;
}
