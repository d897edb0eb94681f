// Writing a file's content afresh without truncating it. On file systems
// with delayed allocation (ext4 by default) a file truncated to nothing and
// written again is pushed to the disk when it is closed, so that a crash
// right after cannot leave it empty; that flush costs a few hundred
// microseconds, far more than the writes. The result, cheque, status and
// exchange files of every run are rewritten this way, so they are replaced
// by a new empty file of the same rights instead, or, when the new content
// has the old size, overwritten in place. Nothing else about them changes:
// the same bytes under the same name, the same rights less those of others.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "ri/File.h"
#include "ri/FileFaults.h"

namespace ri {

namespace {

constexpr mode_t kPrivateMode = S_IRUSR | S_IWUSR | S_IRGRP;

// Creates path, which must not exist, with the given rights (applied as they
// are, not through the umask, when from an earlier file) and group.
bool CreateEmpty(const std::string& path, const struct stat* earlier) {
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, kPrivateMode);
    if (fd < 0) return false;
    if (earlier != nullptr) {
        fchmod(fd, earlier->st_mode & (S_IRWXU | S_IRWXG));
        if (earlier->st_gid != getegid())
            (void)!fchown(fd, static_cast<uid_t>(-1), earlier->st_gid);
    }
    close(fd);
    return true;
}

}  // namespace

bool File::EmptyAnew(const std::string& path) {
    if (path.empty()) return false;
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) return errno == ENOENT && CreateEmpty(path, nullptr);
    if (!S_ISREG(status.st_mode) || status.st_nlink != 1 || status.st_uid != geteuid())
        return false;
    if (status.st_size == 0) {
        if ((status.st_mode & S_IRWXO) != 0) chmod(path.c_str(), status.st_mode & ~S_IRWXO & 07777);
        return true;
    }
    return unlink(path.c_str()) == 0 && CreateEmpty(path, &status);
}

File::Kind File::KindOf(const std::string& path) {
    struct stat status {};
    if (path.empty() || lstat(path.c_str(), &status) != 0) return Kind::kMissing;
    if (S_ISREG(status.st_mode)) return Kind::kRegular;
    if (S_ISLNK(status.st_mode)) return Kind::kLink;
    if (S_ISCHR(status.st_mode)) return Kind::kCharDevice;
    if (S_ISFIFO(status.st_mode)) return Kind::kFifo;
    return Kind::kOther;
}

int File::OpenForContent(const std::string& path, std::size_t size) {
    struct stat status {};
    const bool sameSize = size > 0 && lstat(path.c_str(), &status) == 0 &&
                          S_ISREG(status.st_mode) &&
                          static_cast<std::size_t>(status.st_size) == size;
    const int truncate = sameSize || EmptyAnew(path) ? 0 : O_TRUNC;
    // Opened without blocking, so that a pipe without a reader or a device
    // that waits for a line fails at once instead of holding the run.
    const int fd =
        open(path.c_str(),
             O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | truncate,
             kPrivateMode);
    if (fd < 0) return -1;
    if (fstat(fd, &status) != 0 ||
        !(S_ISREG(status.st_mode) || S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode))) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    // A device takes its bytes at its own pace; a pipe stays non-blocking.
    if (!S_ISFIFO(status.st_mode)) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    RestrictOthers(fd);
    return fd;
}

bool File::WriteAll(int fd, const std::string& data) {
    if (FileFaults::Strike(false)) return false;
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t wrote = write(fd, data.data() + done, data.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

}  // namespace ri
