// The settings message: the register changes one setting of the terminal by
// sending it KEY and VALUE, then serves the terminal until it ends the
// exchange, as in the link test.
#include <chrono>

#include "engine/PPAD.h"
#include "ri/Trace.h"

namespace {

using Clock = std::chrono::steady_clock;

// Time the terminal may stay silent between two of its requests.
constexpr std::chrono::seconds kIdle(5);

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
    session_.Lock();
    const bool addedNoDialogs = !Has("NODIALOGS");
    if (addedNoDialogs) Settings().MakePair("NODIALOGS", "1");
    int result = Connect(3000);
    if (result == 0) {
        session_.SendMsg(SettingsMessage(data.substr(0, colon), data.substr(colon + 1)));
        const std::string reply = session_.WaitMessage(1, -1);
        result = -2;
        if (!reply.empty() && ServeRequests(reply, 2, -1, Clock::now() + kIdle, kIdle)) result = 0;
        session_.ShutDown();
    }
    if (addedNoDialogs) Settings().Delete("NODIALOGS");
    return result;
}
