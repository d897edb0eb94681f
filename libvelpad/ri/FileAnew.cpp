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
// are, not through the umask, when from an earlier file) and group; the new
// file open for writing, or -1.
int CreateEmpty(const std::string& path, const struct stat* earlier) {
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, kPrivateMode);
    if (fd < 0) return -1;
    if (earlier != nullptr) {
        fchmod(fd, earlier->st_mode & (S_IRWXU | S_IRWXG));
        if (earlier->st_gid != getegid())
            (void)!fchown(fd, static_cast<uid_t>(-1), earlier->st_gid);
    }
    return fd;
}

constexpr int kFailed = -1;
constexpr int kEmptyThere = -2;

// EmptyAnew from what lstat told of path (earlier: nullptr when it found
// nothing, with its errno in lstatError): the new empty file open for
// writing, kEmptyThere when the empty file already there serves, kFailed
// when the file cannot be replaced.
int Anew(const std::string& path, const struct stat* earlier, int lstatError) {
    if (earlier == nullptr) return lstatError == ENOENT ? CreateEmpty(path, nullptr) : kFailed;
    if (!S_ISREG(earlier->st_mode) || earlier->st_nlink != 1 || earlier->st_uid != geteuid())
        return kFailed;
    if (earlier->st_size == 0) {
        if ((earlier->st_mode & S_IRWXO) != 0)
            chmod(path.c_str(), earlier->st_mode & ~S_IRWXO & 07777);
        return kEmptyThere;
    }
    return unlink(path.c_str()) == 0 ? CreateEmpty(path, earlier) : kFailed;
}

}  // namespace

bool File::EmptyAnew(const std::string& path) {
    if (path.empty()) return false;
    struct stat status {};
    const bool found = lstat(path.c_str(), &status) == 0;
    const int anew = Anew(path, found ? &status : nullptr, errno);
    if (anew >= 0) close(anew);
    return anew != kFailed;
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
    if (path.empty()) return -1;
    struct stat status {};
    const bool found = lstat(path.c_str(), &status) == 0;
    const int lstatError = errno;
    const bool sameSize = size > 0 && found && S_ISREG(status.st_mode) &&
                          static_cast<std::size_t>(status.st_size) == size;
    int truncate = 0;
    if (!sameSize) {
        // A file made anew is written through the descriptor that made it:
        // a new empty regular file of the library's, blocking, with no
        // rights for others.
        const int anew = Anew(path, found ? &status : nullptr, lstatError);
        if (anew >= 0) return anew;
        if (anew == kFailed) truncate = O_TRUNC;
    }
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
