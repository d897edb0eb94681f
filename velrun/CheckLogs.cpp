// Whether a run will be able to write its logs. A run goes on without them,
// so a log that cannot be written is a note. A folder is tried by creating
// and removing a file in it, which also holds for root and for read-only
// mounts; a missing folder is tried at its nearest existing parent, since the
// engine creates the missing part of its log folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Check.h"
#include "config/SettingRules.h"

namespace velrun {

namespace {

bool isDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool exists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

// Empty when a file can be created in the folder, else the reason.
std::string tryFolder(const std::string& folder) {
    std::string probe = folder + "/.velrun-check-XXXXXX";
    const int fd = mkstemp(&probe[0]);
    if (fd < 0) return std::strerror(errno);
    close(fd);
    unlink(probe.c_str());
    return std::string();
}

// Empty when `folder` is writable or can be created, else the reason.
std::string folderProblem(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (isDirectory(folder)) return tryFolder(folder);
    if (exists(folder)) return "it is not a folder";
    if (folder == "." || folder == "/") return "it does not exist";
    const size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos) return folderProblem(".");
    return folderProblem(slash == 0 ? "/" : folder.substr(0, slash));
}

}  // namespace

void Check::logDirectories() {
    std::string reason;
    if (isDirectory("darir.log")) {
        reason = "it is a folder";
    } else if (exists("darir.log")) {
        const int fd = open("darir.log", O_WRONLY | O_APPEND);
        if (fd < 0) reason = std::strerror(errno);
        if (fd >= 0) close(fd);
    } else {
        reason = tryFolder(".");
    }
    if (!reason.empty())
        note("the session trace darir.log cannot be written here: " + reason +
             "; a run goes on without its trace");
    else
        good("session trace darir.log: writable in the working directory");
    if (!settings_.empty()) engineLogFolder();
}

void Check::engineLogFolder() {
    if (SettingRules::Number(settings_["USEAPPLOG"]) == 0)
        return note("engine log: off (USEAPPLOG is not set)");
    const std::string folder = directory_ + settings_["LOG_FOLDER_NAME"] + "/";
    const std::string reason = folderProblem(folder);
    if (!reason.empty())
        return note("engine log folder " + folder + " cannot be written: " + reason +
                    "; a run goes on without its log");
    good("engine log folder " + folder +
         (isDirectory(folder) ? ": writable" : ": created at the first run"));
}

}  // namespace velrun
