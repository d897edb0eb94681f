// Time-out settings held to their bounds: a wait of 0 or less, or one
// longer than any pinpad exchange needs, falls back to its default, so that
// no wait becomes endless and no deadline overflows. The bounds and the text
// of the warning are SettingRules', which velrun --check reports from too.
#include "config/SettingRules.h"
#include "engine/PPAD.h"
#include "ri/Trace.h"

long PPAD::TimeoutSetting(const char* key, long fallback, long most, bool toLog) {
    const SettingRules::Timeout timeout{key, fallback, most};
    const std::string text = Setting(key);
    if (SettingRules::Accepts(timeout, text)) return SettingRules::Number(text);
    const std::string replaced = SettingRules::Replaced(timeout, text);
    trace_->Warning("PPAD: %s", replaced.c_str());
    if (toLog) log_.Write("WARNING: %s", replaced.c_str());
    config_.settings.MakePair(key, std::to_string(fallback));
    return fallback;
}

void PPAD::CheckTimeouts() {
    for (const SettingRules::Timeout& timeout : SettingRules::kStartTimeouts)
        TimeoutSetting(timeout.key, timeout.fallback, timeout.most, true);
}
