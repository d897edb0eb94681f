#include "config/SettingsFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <map>
#include <mutex>

#include "ri/Conv.h"
#include "ri/IniLine.h"

namespace SettingsFiles {

namespace {

// A file younger than this may still change within the same tick of its
// times, so it is never taken from the cache.
constexpr time_t kSettledSeconds = 2;
// More names than an installation has; a process that reads more (tests)
// starts the cache afresh.
constexpr std::size_t kMostFiles = 64;

struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    explicit Identity(const struct stat& st)
        : device(st.st_dev),
          inode(st.st_ino),
          size(st.st_size),
          modified(st.st_mtim),
          changed(st.st_ctim) {}

    bool operator==(const Identity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

struct Kept {
    Identity identity;
    std::shared_ptr<const Pairs> pairs;
};

std::mutex mutex;
std::map<std::string, Kept> kept;

bool Settled(const struct stat& st) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return st.st_ctim.tv_sec + kSettledSeconds < now.tv_sec &&
           st.st_mtim.tv_sec + kSettledSeconds < now.tv_sec;
}

// The whole content of an open file; false when a read fails.
bool ReadAll(int fd, std::string* content) {
    char buffer[8192];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got == 0) return true;
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        content->append(buffer, static_cast<std::size_t>(got));
    }
}

std::shared_ptr<const Pairs> Parse(const std::string& content) {
    auto pairs = std::make_shared<Pairs>();
    for (std::size_t start = 0; start < content.size();) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        const ri::IniLine read = ri::IniLine::Read(content.substr(start, end - start), false);
        if (read.kind == ri::IniLine::kBare) pairs->emplace_back(read.key, "1");
        if (read.kind == ri::IniLine::kEntry)
            pairs->emplace_back(ri::Conv::Upper(read.key), read.value);
        start = end + 1;
    }
    return pairs;
}

std::shared_ptr<const Pairs> Cached(const std::string& path, const struct stat& st) {
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = kept.find(path);
    if (found == kept.end() || !(found->second.identity == Identity(st))) return nullptr;
    return found->second.pairs;
}

void Keep(const std::string& path, const struct stat& st, std::shared_ptr<const Pairs> pairs) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (kept.size() >= kMostFiles && kept.count(path) == 0) kept.clear();
    kept.insert_or_assign(path, Kept{Identity(st), std::move(pairs)});
}

}  // namespace

std::shared_ptr<const Pairs> Read(const std::string& path) {
    struct stat named {};
    if (path.empty() || stat(path.c_str(), &named) != 0) return nullptr;
    if (S_ISDIR(named.st_mode)) {
        errno = EISDIR;
        return nullptr;
    }
    const bool regular = S_ISREG(named.st_mode);
    if (regular && Settled(named))
        if (auto pairs = Cached(path, named)) return pairs;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat opened {};
    std::string content;
    const bool read = fstat(fd, &opened) == 0 && ReadAll(fd, &content);
    const int error = errno;
    close(fd);
    if (!read) {
        errno = error;
        return nullptr;
    }
    std::shared_ptr<const Pairs> pairs = Parse(content);
    if (S_ISREG(opened.st_mode) && Settled(opened) &&
        opened.st_size == static_cast<off_t>(content.size()))
        Keep(path, opened, pairs);
    return pairs;
}

}  // namespace SettingsFiles
