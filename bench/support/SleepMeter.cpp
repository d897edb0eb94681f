#include "support/SleepMeter.h"

#include <time.h>

#include <atomic>
#include <cerrno>
#include <chrono>

namespace {

std::atomic<long long> sleptNanos{0};
std::atomic<long> sleeps{0};

}  // namespace

// Stands in for the C library's nanosleep in this process (the shared
// library's calls bind to the program's definition first).
extern "C" int nanosleep(const timespec* wait, timespec* left) {
    const auto start = std::chrono::steady_clock::now();
    const int error = clock_nanosleep(CLOCK_MONOTONIC, 0, wait, left);
    sleptNanos += std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
    ++sleeps;
    if (error == 0) return 0;
    errno = error;
    return -1;
}

namespace bench {

double SleptMicros() {
    return static_cast<double>(sleptNanos.load()) / 1000.0;
}
long SleepCount() {
    return sleeps.load();
}
void ResetSleeps() {
    sleptNanos = 0;
    sleeps = 0;
}

}  // namespace bench
