#pragma once

#include <sys/stat.h>

#include <string>

// Permission bits of path (07777 when it cannot be read).
inline unsigned ModeOf(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 07777;
}

// Inode number of path itself (a link is not followed); 0 when it is missing.
inline ino_t InodeOf(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

// Holds the process umask at zero, so that the modes the library asks for show.
class NoUmask {
public:
    NoUmask() : old_(umask(0)) {}
    ~NoUmask() { umask(old_); }
    NoUmask(const NoUmask&) = delete;
    NoUmask& operator=(const NoUmask&) = delete;

private:
    mode_t old_;
};
