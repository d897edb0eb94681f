#pragma once

#include <chrono>

// Waiting on descriptors with a bound, shared by the serial and socket
// transports.
namespace transport {

using Clock = std::chrono::steady_clock;

// Waits until fd is ready for events (POLLIN, POLLOUT) or timeoutMs has passed,
// resuming after signal interruptions with the time still left. 1 when ready
// (including a hang-up or error condition, which the next read or write
// reports), 0 on time-out, -1 when the wait itself failed.
int WaitReady(int fd, short events, long timeoutMs);

// Milliseconds from now until deadline, 0 when it has passed.
long RemainingMs(Clock::time_point deadline);

// now + milliseconds (negative values count as 0).
Clock::time_point DeadlineIn(long milliseconds);

}  // namespace transport
