// One run per pinpad: the engine takes the lock of the status file's name
// (which carries the port and relay identifier suffixes) before it writes a
// single byte, so that a second run on the same pinpad, in this process or
// another, neither talks over the first nor touches its files.
#include "engine/PPAD.h"
#include "engine/Texts.h"
#include "ri/Exception.h"
#include "ri/Trace.h"

namespace {

constexpr long kDefaultLockWaitMs = 5000;
constexpr long kMostLockWaitMs = 600000;

}  // namespace

void PPAD::LockPinpad() {
    // The engine log stays closed until the lock is held: a warning about the
    // setting goes to the trace alone.
    const long waitMs = TimeoutSetting("PPAD_LOCK_TO", kDefaultLockWaitMs, kMostLockWaitMs, false);
    const std::string path = StatusFilePath() + ".lock";
    const ri::FileLock::Result result = pinpad_lock_.Acquire(path, waitMs);
    if (result == ri::FileLock::LOCK_TAKEN) return;
    if (result == ri::FileLock::LOCK_NOT_FILE) {
        // Nothing is written through a link or into a device in its place.
        trace_->Error("PPAD: lock file [%s] is a symbolic link or not a regular file",
                      path.c_str());
        throw ri::Exception(-1, "lock file [%s] is a symbolic link or not a regular file",
                            path.c_str());
    }
    if (result == ri::FileLock::LOCK_NO_FILE) {
        // A folder nobody may write: no other run can leave files there
        // either, and the serial line is still opened for this run alone.
        trace_->Warning("PPAD: lock file [%s] cannot be opened, the run goes on unlocked",
                        path.c_str());
        return;
    }
    trace_->Error("PPAD: the pinpad is busy with another run: lock [%s] not free after %ld ms",
                  path.c_str(), waitMs);
    // The code tells the session that this run never began, so that it can
    // say so to the cashier.
    throw ri::Exception(texts::kPinpadBusyCode, "pinpad busy: lock [%s] held by another run",
                        path.c_str());
}
