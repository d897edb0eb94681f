#include "DurableWrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velrun {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string reason(const char* step) {
    return std::string(step) + ": " + std::strerror(errno);
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool syncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    close(fd);
    return synced;
}

}  // namespace

bool writeDurably(const std::string& path, const std::string& bytes, std::string* error) {
    const std::string folder = folderOf(path);
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) {
        *error = reason(("cannot create a file in " + folder).c_str());
        return false;
    }
    const char* failed = nullptr;
    if (!writeAll(fd, bytes))
        failed = "write";
    else if (fsync(fd) != 0)
        failed = "fsync";
    if (failed != nullptr) *error = reason(failed);
    if (close(fd) != 0 && failed == nullptr) {
        failed = "close";
        *error = reason(failed);
    }
    if (failed == nullptr && rename(temporary.c_str(), path.c_str()) != 0) {
        failed = "rename";
        *error = reason(failed);
    }
    if (failed != nullptr) {
        unlink(temporary.c_str());
        return false;
    }
    // Once renamed, a bundle whose folder entry may not survive is taken
    // back: a failure leaves no bundle.
    if (!syncFolder(folder)) {
        *error = reason(("fsync of the folder " + folder).c_str());
        unlink(path.c_str());
        return false;
    }
    return true;
}

}  // namespace velrun
