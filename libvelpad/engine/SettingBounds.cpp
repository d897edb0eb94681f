// Time-out settings held to their bounds: a wait of 0 or less, or one
// longer than any pinpad exchange needs, falls back to its default, so that
// no wait becomes endless and no deadline overflows.
#include "engine/PPAD.h"
#include "ri/Trace.h"

namespace {

struct Bound {
    const char* key;
    long fallback;
    long most;
};

// "TIMEOUT": one frame and every single receive; "PPAD_IDLE_TO": the
// pinpad's silence within a transaction.
constexpr Bound kTimeouts[] = {{"TIMEOUT", 1000, 60000}, {"PPAD_IDLE_TO", 120000, 3600000}};

}  // namespace

long PPAD::TimeoutSetting(const char* key, long fallback, long most, bool toLog) {
    const std::string text = Setting(key);
    const long value = Number(key);
    if (value > 0 && value <= most) return value;
    trace_->Warning("PPAD: %s=[%s] is not in 1..%ld ms, %ld is used", key, text.c_str(), most,
                    fallback);
    if (toLog)
        log_.Write("WARNING: %s=[%s] is not in 1..%ld ms, %ld is used", key, text.c_str(), most,
                   fallback);
    config_.settings.MakePair(key, std::to_string(fallback));
    return fallback;
}

void PPAD::CheckTimeouts() {
    for (const Bound& bound : kTimeouts)
        TimeoutSetting(bound.key, bound.fallback, bound.most, true);
}
