#include "ri/AppendFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ri/File.h"

namespace ri {

AppendFile::~AppendFile() {
    Close();
}

bool AppendFile::Open() {
    if (fd_ >= 0) return true;
    if (path_.empty()) return false;
    fd_ = open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOCTTY | O_CLOEXEC,
               S_IRUSR | S_IWUSR | S_IRGRP);
    if (fd_ < 0) return false;
    File::RestrictOthers(fd_);
    // Unknown (never so in practice), the next Refresh drops it.
    struct stat open {};
    const bool known = fstat(fd_, &open) == 0;
    device_ = known ? open.st_dev : 0;
    inode_ = known ? open.st_ino : 0;
    return true;
}

void AppendFile::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool AppendFile::Append(const std::string& data) {
    if (fd_ < 0 && !Open()) return false;
    const char* next = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t written = write(fd_, next, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            Close();
            return false;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

void AppendFile::Refresh() {
    if (fd_ < 0) return;
    struct stat named {};
    if (stat(path_.c_str(), &named) != 0) {
        Close();
        return;
    }
    Refresh(named);
}

void AppendFile::Refresh(const struct stat& named) {
    if (fd_ >= 0 && (named.st_dev != device_ || named.st_ino != inode_)) Close();
}

}  // namespace ri
