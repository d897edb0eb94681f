// The pinpad link: the "PORT" setting judged by the library's own rule, then
// the library's link test, which opens the link as a run does.
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "Check.h"
#include "api/velpad.h"
#include "config/SettingRules.h"

namespace velrun {

namespace {

// What a run logs when it cannot open the link.
const char kNotConnected[] = "a run stops before its start message (\"Connection ERROR\")";

// A whole decimal number from 1 to `limit`.
bool isPort(const std::string& text, long limit) {
    if (text.empty() || text.size() > 9) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    const long value = std::stol(text);
    return value > 0 && value <= limit;
}

// Why the link test failed, by its result (velpad.h, service commands).
std::string linkTestFailure(int result, bool relay, const std::string& link) {
    if (result == -1 && relay)
        return "no TCP relay at " + link +
               " takes this register (or another run holds the pinpad): " + kNotConnected;
    if (result == -1) return "another run holds the pinpad, or its lock file is not a regular file";
    if (result == -2 && relay)
        return "the pinpad did not answer the test message: a run would send its start "
               "message and wait for an answer up to PPAD_IDLE_TO";
    if (result == -2)
        return "the serial port " + link +
               " cannot be opened, or the pinpad did not answer the test message";
    return "PORT is neither ETH nor a serial device name";
}

// Standard output goes to standard error while this lives: the library
// echoes its trace's error lines to standard output, which holds the report.
class OutputToErrors {
public:
    OutputToErrors() : saved_(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        if (saved_ >= 0) dup2(STDERR_FILENO, STDOUT_FILENO);
    }
    ~OutputToErrors() {
        std::fflush(stdout);
        if (saved_ < 0) return;
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }
    OutputToErrors(const OutputToErrors&) = delete;
    OutputToErrors& operator=(const OutputToErrors&) = delete;

private:
    int saved_;
};

int runLinkTest() {
    const OutputToErrors diverted;
    const std::unique_ptr<DARir, void (*)(DARir*)> session(CreateDARir(), DeleteDARir);
    return DARirRunCmd(session.get(), "TEST_PING", "1", -1);
}

}  // namespace

bool Check::link() {
    const std::string port = settings_["PORT"];
    if (port == SettingRules::kRelayPort) {
        const std::string relay = settings_["ADDR_IP"] + ":" + settings_["PORT_IP"];
        if (!isPort(settings_["PORT_IP"], 65535)) {
            problem("PORT_IP is not a TCP port: " + relay);
            return false;
        }
        good("pinpad link: TCP relay at " + relay + " (PORT=ETH)");
        return true;
    }
    if (!SettingRules::IsSerialName(port)) {
        problem("PORT=" + port + " is neither ETH nor a serial device name: " + kNotConnected);
        return false;
    }
    if (access(port.c_str(), F_OK) != 0) {
        problem("PORT names a serial device that does not exist: " + port + ": " + kNotConnected);
        return false;
    }
    good("pinpad link: serial port " + port + " at " + settings_["SPEED"] + " baud");
    return true;
}

// The library's link test: the link opened from the settings files as a run
// opens it, a test message the pinpad answers and ends; "1" keeps the engine
// log and the files of a run untouched.
void Check::linkTest() {
    out_.flush();
    const int result = runLinkTest();
    const bool relay = settings_["PORT"] == SettingRules::kRelayPort;
    const std::string link =
        relay ? settings_["ADDR_IP"] + ":" + settings_["PORT_IP"] : settings_["PORT"];
    if (result == 0)
        return good("link test (TEST_PING): the pinpad at " + link + " answered the test message");
    problem("link test (TEST_PING) failed (" + std::to_string(result) +
            "): " + linkTestFailure(result, relay, link));
}

}  // namespace velrun
