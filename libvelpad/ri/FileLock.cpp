#include "ri/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "ri/Sleep.h"

namespace ri {

namespace {

// Pause between two tries of a lock another holder keeps.
constexpr long kRetryMs = 20;
// Longest wait (a day), far from any overflow of the clock arithmetic.
constexpr long kMostWaitMs = 86400L * 1000;

// A link is never followed (a dangling one would create its target) and a
// pipe is never waited on.
int OpenLockFile(const std::string& path) {
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0660);
    if (fd >= 0 || errno == ELOOP) return fd;
    // A lock file made by another user, in a folder this one may not write.
    return open(path.c_str(), O_RDONLY | kFlags);
}

}  // namespace

FileLock::~FileLock() {
    Release();
}

FileLock::Result FileLock::Acquire(const std::string& path, long waitMs) {
    Release();
    fd_ = OpenLockFile(path);
    if (fd_ < 0) return errno == ELOOP ? LOCK_NOT_FILE : LOCK_NO_FILE;
    struct stat status {};
    if (fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
        Release();
        return LOCK_NOT_FILE;
    }
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(std::clamp(waitMs, 0L, kMostWaitMs));
    for (;;) {
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return LOCK_TAKEN;
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        if (std::chrono::steady_clock::now() >= deadline) break;
        Sleep(kRetryMs);
    }
    Release();
    return LOCK_BUSY;
}

void FileLock::Release() {
    if (fd_ < 0) return;
    close(fd_);
    fd_ = -1;
}

}  // namespace ri
