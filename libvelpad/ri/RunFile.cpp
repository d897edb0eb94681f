#include "ri/RunFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ri/File.h"
#include "ri/FileFaults.h"

namespace ri {
namespace RunFile {

namespace {

bool Fail(const char* step, std::string* error) {
    if (error) *error = std::string(step) + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool SyncFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = !FileFaults::Strike(true) && fsync(fd) == 0;
    close(fd);
    return synced;
}

bool RewriteDurably(const std::string& path, const std::string& data, std::string* error) {
    struct stat before {};
    const bool existed = lstat(path.c_str(), &before) == 0;
    const int fd = File::OpenForContent(path, data.size());
    if (fd < 0) return Fail("open", error);
    const char* failed = nullptr;
    if (!File::WriteAll(fd, data))
        failed = "write";
    else if (FileFaults::Strike(true) || fdatasync(fd) != 0)
        failed = "sync";
    const int reason = errno;
    if (close(fd) != 0 && failed == nullptr) failed = "close";
    if (failed != nullptr) {
        errno = reason;
        return Fail(failed, error);
    }
    // A file that was not there, or was replaced by a new empty one, is a
    // new entry of its folder.
    struct stat after {};
    const bool sameFile = existed && lstat(path.c_str(), &after) == 0 &&
                          after.st_ino == before.st_ino && after.st_dev == before.st_dev;
    if (!sameFile && !SyncFolder(path)) return Fail("folder sync", error);
    return true;
}

}  // namespace RunFile
}  // namespace ri
