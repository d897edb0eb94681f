// velrun --check for velrun --report: its report as text, in a child process
// so that a link test that waits longer than the bound (a pinpad held by
// another run up to PPAD_LOCK_TO, a link that keeps silent) is stopped and
// the bundle is made all the same.
#pragma once

#include <chrono>
#include <string>

namespace velrun {

struct CheckOutcome {
    std::string report;    // what --check prints
    int status = -1;       // its exit status; -1 when it did not end by itself
    bool stopped = false;  // killed at the bound
};

CheckOutcome runBoundedCheck(std::chrono::seconds bound);

}  // namespace velrun
