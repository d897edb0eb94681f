#pragma once

#include <string>

namespace ri {

// An exclusive lock on a lock file (flock), held until Release or
// destruction. Every holder opens the file afresh, so the lock keeps out
// other processes and other threads of this one alike. Waiting is bounded:
// the lock is tried again every few milliseconds until the bound passes.
class FileLock {
public:
    // Acquire results.
    enum Result {
        LOCK_TAKEN = 0,
        LOCK_BUSY = -1,      // another holder kept it for the whole wait
        LOCK_NO_FILE = -2,   // the lock file cannot be created or opened
        LOCK_NOT_FILE = -3,  // a symbolic link or anything but a regular file is there
    };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on path, waiting at most waitMs milliseconds for the
    // holder to let it go. A lock already held is released first.
    Result Acquire(const std::string& path, long waitMs);
    void Release();
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace ri
