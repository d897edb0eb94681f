#include "Check.h"

#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>

namespace velrun {

namespace {

std::string workingDirectory() {
    char buffer[PATH_MAX] = {};
    return getcwd(buffer, sizeof(buffer)) != nullptr ? buffer : ".";
}

// A whole decimal number from 1 to `limit`.
bool isPositive(const std::string& text, long limit) {
    if (text.empty() || text.size() > 9) return false;
    for (unsigned char c : text) {
        if (std::isdigit(c) == 0) return false;
    }
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value > 0 && value <= limit;
}

// A device name the serial transport accepts.
bool isSerialName(const std::string& port) {
    if (port.size() == 4 && port.compare(0, 3, "COM") == 0) return true;
    if (port.size() > 6 &&
        (port.compare(0, 7, "\\\\.\\COM") == 0 || port.compare(0, 7, "//./COM") == 0))
        return true;
    return port.compare(0, 8, "/dev/tty") == 0;
}

}  // namespace

int Check::run() {
    out_ << "Installation in " << workingDirectory() << '\n';
    settingsFiles();
    if (firstProblem_.empty()) {
        link();
        timeouts();
        operationTable();
        conversionTable();
        textTable();
    }
    logDirectories();
    note("link test to the pinpad: not run (this version has no link test)");
    if (firstProblem_.empty()) {
        out_ << "Result: ready\n";
        return 0;
    }
    out_ << "Result: not ready: " << firstProblem_ << '\n';
    return 2;
}

void Check::settingsFiles() {
    const Location cashreg = locateSettingsFile("cashreg.ini");
    directory_ = cashreg.directory;
    std::vector<SettingsLine> lines;
    if (!cashreg.found || !readSettingsLines(cashreg.path, lines)) {
        problem("cashreg.ini not found (looked in ./, ./ini/, ../ini/, /home/it/ and " +
                cashreg.directory + ")");
        return;
    }
    settings_ = engineSettings(lines);
    good("cashreg.ini: found in " + directory_ + " (the settings directory)");
    const Location darir = locateSettingsFile("darir.ini");
    if (darir.found)
        good("darir.ini: found in " + darir.directory);
    else
        note("darir.ini not found: the session trace darir.log keeps its defaults");
    if (access("orvexmultimerchant.conf", R_OK) == 0)
        good("orvexmultimerchant.conf: found in ./");
    else
        note("orvexmultimerchant.conf not here: the POS plug-in takes its defaults");
}

void Check::link() {
    const std::string port = settings_["PORT"];
    if (port == "ETH") {
        const std::string relay = settings_["ADDR_IP"] + ":" + settings_["PORT_IP"];
        if (!isPositive(settings_["PORT_IP"], 65535))
            return problem("PORT_IP is not a TCP port: " + relay);
        return good("pinpad link: TCP relay at " + relay + " (PORT=ETH)");
    }
    if (!isSerialName(port))
        return problem("PORT is neither ETH nor a serial device: '" + port + "'");
    if (port.compare(0, 5, "/dev/") == 0 && access(port.c_str(), F_OK) != 0)
        return problem("PORT names a serial device that does not exist: " + port);
    good("pinpad link: serial port " + port + " at " + settings_["SPEED"] + " baud");
}

void Check::timeouts() {
    for (const char* key : {"TIMEOUT", "PPAD_IDLE_TO"}) {
        const std::string value = settings_[key];
        if (!isPositive(value, INT_MAX))
            return problem(std::string(key) + " is not a positive number of milliseconds: '" +
                           value + "'");
    }
    good("time-outs: link TIMEOUT=" + settings_["TIMEOUT"] +
         " ms, pinpad idle PPAD_IDLE_TO=" + settings_["PPAD_IDLE_TO"] + " ms");
}

void Check::good(const std::string& text) {
    out_ << "  ok       " << text << '\n';
}

void Check::note(const std::string& text) {
    out_ << "  note     " << text << '\n';
}

void Check::problem(const std::string& text) {
    out_ << "  PROBLEM  " << text << '\n';
    if (firstProblem_.empty()) firstProblem_ = text;
}

}  // namespace velrun
