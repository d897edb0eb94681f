// The files of a run, judged as a run admits them before its start message:
// each is a regular file or a new one in a folder that exists and can be
// written (a run creates no folder for them), or a character device or a
// pipe that a reader holds open; a symbolic link is never written through.
// The status file and the pinpad's lock are regular files only. A file that
// fails stops the run, which logs the text the problem quotes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Check.h"

namespace velrun {

namespace {

// The files a run writes for its caller, in the order a run admits them.
const char* const kRunFiles[] = {"CHEQ_FILE",    "RESULT_FILE",    "OUTPUT_FILE",
                                 "VAR_ENV_FILE", "CANCEL_RC_FILE", "CANCEL_CH_FILE"};
const char kCannotWrite[] = "cannot be written";

// What stands in the way of a file of the run at path, or null when nothing
// does.
const char* refusal(const std::string& path, bool regularOnly) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return nullptr;
    if (S_ISLNK(status.st_mode)) return "is a symbolic link";
    if (regularOnly || !(S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode)))
        return "is not a regular file";
    if (!S_ISFIFO(status.st_mode)) return nullptr;
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return errno == ENXIO ? "is a pipe nobody reads" : kCannotWrite;
    close(fd);
    return nullptr;
}

// Whether a new file can be made at path: its folder exists and can be
// written.
bool creatable(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

// Whether path can be written: an existing file itself, a new one by its
// folder.
bool writable(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode))
        return access(path.c_str(), W_OK) == 0;
    return creatable(path);
}

// Whether a file that a run removes and creates anew can be written: a
// regular file or a new one by its folder, a device or a pipe itself.
bool replaceable(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return creatable(path);
    return access(path.c_str(), W_OK) == 0;
}

// Why the ledger at path cannot be opened as a run opens it (without making
// it), in the words of the run's log, or empty when it can.
std::string ledgerRefusal(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0)
        return creatable(path) ? "" : std::string("cannot open: ") + std::strerror(EACCES);
    const int fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::string("cannot open: ") + std::strerror(errno);
    close(fd);
    return S_ISREG(status.st_mode) ? "" : "not a regular file";
}

}  // namespace

void Check::ledger() {
    if (has("NO_LEDGER")) return good("ledger of operations: off (NO_LEDGER)");
    const std::string path = settingsPath(settings_["LEDGER_FILE"], directory_);
    const std::string reason = ledgerRefusal(path);
    if (reason.empty()) return good("ledger of operations [" + path + "]: can be written");
    problem("ledger [" + path + "]: " + reason + ", no transaction is started");
}

void Check::runFiles() {
    const std::string status = settingsPath("lastop.stb", directory_);
    if (refusal(status + ".lock", true) != nullptr)
        problem("lock file [" + status + ".lock] is a symbolic link or not a regular file: " +
                "a run stops before its start message");
    std::string failed;
    const char* reason = nullptr;
    auto admit = [&](const std::string& path, bool regularOnly) {
        if (!failed.empty() || path.empty()) return;
        reason = refusal(path, regularOnly);
        if (reason != nullptr) failed = path;
    };
    auto check = [&](const std::string& path, bool (*canWrite)(const std::string&)) {
        if (!failed.empty() || path.empty() || canWrite(path)) return;
        failed = path;
        reason = kCannotWrite;
    };
    for (const char* key : kRunFiles) admit(settingsPath(settings_[key], directory_), false);
    check(settingsPath(settings_["RESULT_FILE"], directory_), replaceable);
    check(settingsPath(settings_["CHEQ_FILE"], directory_), replaceable);
    const bool statusWritten = !has("NODIALOGS") && !has("NO_CHECK_LAST_OP");
    if (statusWritten) admit(status, true);
    if (statusWritten) check(status, writable);
    check(settingsPath(settings_["OUTPUT_FILE"], directory_), writable);
    if (failed.empty())
        return good("files of a run (cheque, result, output, status): can be written");
    problem("file [" + failed + "] " + reason + ", no transaction is started");
}

}  // namespace velrun
