#include "ri/TraceRotation.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ri/Conv.h"
#include "ri/Format.h"

namespace ri {

namespace {

constexpr std::int64_t kMiB = 1 << 20;

std::string Numbered(const std::string& path, int number) {
    return path + "." + std::to_string(number);
}

// A regular file (never what a link points to) that holds something and that
// bytes more would take past limit.
bool Outgrows(const struct stat& status, std::size_t bytes, std::int64_t limit) {
    const auto size = static_cast<std::int64_t>(status.st_size);
    return S_ISREG(status.st_mode) && size > 0 && size + static_cast<std::int64_t>(bytes) > limit;
}

// One setting: the default for an empty text, else a whole number in range.
long Setting(const char* key, const std::string& raw, long low, long high, long fallback,
             std::string* problem) {
    const std::string text = Trim::BothSide(raw);
    long value = fallback;
    if (text.empty() || Conv::String::ToDecimal(text, low, high, &value)) return value;
    if (problem != nullptr) {
        if (!problem->empty()) *problem += "; ";
        *problem += Format("%s=%s is not a whole number from %ld to %ld, %ld is used", key,
                           text.c_str(), low, high, fallback);
    }
    return fallback;
}

// The descriptor, and with it the lock it holds, released at the end of a scope.
class HeldFile {
public:
    explicit HeldFile(int fd) : fd_(fd) {}
    ~HeldFile() {
        if (fd_ >= 0) close(fd_);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace

TraceRotation::TraceRotation(std::int64_t limitBytes, int keep)
    : limit_(limitBytes > 0 ? limitBytes : 0), keep_(keep > 1 ? keep : 1) {}

TraceRotation TraceRotation::FromSettings(const std::string& mebibytes, const std::string& keep,
                                          std::string* problem) {
    const long size = Setting("LogRotateMiB", mebibytes, 0, kMostMiB, kDefaultMiB, problem);
    const long files = Setting("LogRotateKeep", keep, 1, kMostKeep, kDefaultKeep, problem);
    return TraceRotation(size * kMiB, static_cast<int>(files));
}

bool TraceRotation::Due(const struct stat& named, std::size_t bytes) const {
    return Enabled() && Outgrows(named, bytes, limit_);
}

// The lock is taken without waiting: a process that finds it held leaves the
// move to its holder and writes on; its line lands in one file or the other.
std::string TraceRotation::Rotate(const std::string& path, std::size_t bytes) const {
    const HeldFile file(
        open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd() < 0) {
        if (errno == ENOENT) return std::string();
        return Format("open %s: %s", path.c_str(), std::strerror(errno));
    }
    int locked = -1;
    do {
        locked = flock(file.fd(), LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        if (errno == EWOULDBLOCK) return std::string();
        return Format("lock %s: %s", path.c_str(), std::strerror(errno));
    }
    struct stat held {};
    struct stat named {};
    if (fstat(file.fd(), &held) != 0 || lstat(path.c_str(), &named) != 0 ||
        held.st_dev != named.st_dev || held.st_ino != named.st_ino ||
        !Outgrows(named, bytes, limit_))
        return std::string();
    return MoveChain(path);
}

std::string TraceRotation::MoveChain(const std::string& path) const {
    for (int number = keep_ - 1; number >= 0; --number) {
        const std::string from = number == 0 ? path : Numbered(path, number);
        const std::string to = Numbered(path, number + 1);
        if (rename(from.c_str(), to.c_str()) != 0 && errno != ENOENT)
            return Format("rename %s to %s: %s", from.c_str(), to.c_str(), std::strerror(errno));
    }
    return std::string();
}

}  // namespace ri
