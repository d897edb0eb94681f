#include "support/SyncMeter.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<long> syncs{0};

}  // namespace

// Stand in for the C library's calls in this process (the shared libraries'
// calls bind to the program's definitions first) and make the same system
// calls.
extern "C" int fsync(int fd) {
    ++syncs;
    return static_cast<int>(syscall(SYS_fsync, fd));
}

extern "C" int fdatasync(int fd) {
    ++syncs;
    return static_cast<int>(syscall(SYS_fdatasync, fd));
}

namespace bench {

long SyncCount() {
    return syncs.load();
}

}  // namespace bench
