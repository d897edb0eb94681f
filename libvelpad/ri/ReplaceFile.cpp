#include "ri/ReplaceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ri/File.h"
#include "ri/FileFaults.h"
#include "ri/RunFile.h"

namespace ri {

namespace {

// Temporary names tried before giving up; each is taken only when nothing
// of that name exists yet.
constexpr int kTemporaryAttempts = 100;

// The attempt-th temporary name beside path: hidden, and unique to this
// process ("." + name + "." + pid, then a running number, then ".tmp").
std::string TemporaryName(const std::string& path, int attempt) {
    const std::size_t slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    std::string temporary =
        path.substr(0, name) + "." + path.substr(name) + "." + std::to_string(getpid());
    if (attempt > 0) temporary += "." + std::to_string(attempt);
    return temporary + ".tmp";
}

// Creates a temporary file that did not exist before. O_EXCL makes the
// creation fail on anything already there, a symbolic link included, so
// neither a planted link nor another engine's temporary file of the same
// name is ever written through.
int CreateTemporary(const std::string& path, std::string* temporary) {
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        *temporary = TemporaryName(path, attempt);
        const int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0640);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool Fail(const char* step, std::string* error) {
    if (error) *error = std::string(step) + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool ReplaceFile(const std::string& path, const std::string& data, std::string* error) {
    std::string temporary;
    const int fd = CreateTemporary(path, &temporary);
    if (fd < 0) return Fail("create", error);
    const char* failed = nullptr;
    if (!File::WriteAll(fd, data))
        failed = "write";
    else if (FileFaults::Strike(true) || fsync(fd) != 0)
        failed = "sync";
    if (close(fd) != 0 && failed == nullptr) failed = "close";
    if (failed == nullptr && rename(temporary.c_str(), path.c_str()) != 0) failed = "rename";
    // The rename is an entry of the folder: synced too, so that the new file
    // is the one found after a power cut.
    if (failed == nullptr) return RunFile::SyncFolder(path) || Fail("folder sync", error);
    const int reason = errno;
    unlink(temporary.c_str());
    errno = reason;
    return Fail(failed, error);
}

}  // namespace ri
