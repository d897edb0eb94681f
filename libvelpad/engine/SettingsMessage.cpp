// The settings message: the register changes one setting of the terminal by
// sending it KEY and VALUE, then serves the terminal until it ends the
// exchange, as in the link test.
#include "engine/PPAD.h"
#include "ri/Trace.h"

namespace {

// Six ESC-separated fields: "9", "9", KEY, VALUE and two empty ones.
std::string SettingsMessage(const std::string& key, const std::string& value) {
    return "9\x1b"
           "9\x1b" +
           key + "\x1b" + value + "\x1b\x1b";
}

}  // namespace

int PPAD::SetSettings(const std::string& data) {
    if (session_.LinkUp()) {
        trace_->Error("PPAD: SetSettings: no interface");
        return -1;
    }
    const size_t colon = data.find(':');
    if (colon == std::string::npos) {
        trace_->Error("PPAD: SetSettings: invalid data: [%s]",
                      CardData::MaskDigitRuns(data).c_str());
        return -1;
    }
    return Exchange(SettingsMessage(data.substr(0, colon), data.substr(colon + 1)));
}
