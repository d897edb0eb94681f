#include "transport/Poll.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace transport {

int WaitReady(int fd, short events, long timeoutMs) {
    const Clock::time_point deadline = DeadlineIn(timeoutMs);
    for (;;) {
        pollfd entry{fd, events, 0};
        const long left = RemainingMs(deadline);
        const int result = poll(&entry, 1, left > INT_MAX ? INT_MAX : static_cast<int>(left));
        if (result > 0) {
            return (entry.revents & POLLNVAL) ? -1 : 1;
        }
        if (result == 0) {
            return 0;
        }
        if (errno != EINTR) {
            return -1;
        }
    }
}

long RemainingMs(Clock::time_point deadline) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
        return 0;
    }
    // Round up so a wait never ends a fraction of a millisecond early.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    return static_cast<long>(left.count());
}

Clock::time_point DeadlineIn(long milliseconds) {
    // A day is beyond any wait of the link; the bound keeps the clock
    // arithmetic far from overflow whatever a caller asks.
    constexpr long kMostMs = 86400L * 1000;
    return Clock::now() + std::chrono::milliseconds(std::clamp(milliseconds, 0L, kMostMs));
}

}  // namespace transport
