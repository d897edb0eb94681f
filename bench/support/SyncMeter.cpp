#include "support/SyncMeter.h"

#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<long> syncs{0};
std::atomic<long> syncNanos{0};

long Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000L + t.tv_nsec;
}

int Timed(long call, int fd) {
    ++syncs;
    const long start = Now();
    const int rc = static_cast<int>(syscall(call, fd));
    syncNanos += Now() - start;
    return rc;
}

}  // namespace

// Stand in for the C library's calls in this process (the shared libraries'
// calls bind to the program's definitions first) and make the same system
// calls, timed.
extern "C" int fsync(int fd) {
    return Timed(SYS_fsync, fd);
}

extern "C" int fdatasync(int fd) {
    return Timed(SYS_fdatasync, fd);
}

namespace bench {

long SyncCount() {
    return syncs.load();
}

double SyncMicros() {
    return static_cast<double>(syncNanos.load()) / 1000.0;
}

}  // namespace bench
