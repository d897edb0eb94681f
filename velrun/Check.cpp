#include "Check.h"

#include <unistd.h>

#include <climits>

#include "config/SettingRules.h"

namespace velrun {

namespace {

// The time-outs a run holds to their bounds: the link and idle time-outs
// when the engine is made, the lock wait when it takes the pinpad.
const SettingRules::Timeout kTimeouts[] = {SettingRules::kLinkTimeout, SettingRules::kIdleTimeout,
                                           SettingRules::kLockTimeout};

std::string workingDirectory() {
    char buffer[PATH_MAX] = {};
    return getcwd(buffer, sizeof(buffer)) != nullptr ? buffer : ".";
}

}  // namespace

int Check::run() {
    out_ << "Installation in " << workingDirectory() << '\n';
    settingsFiles();
    bool linkNamed = false;
    if (!settings_.empty()) {
        linkNamed = link();
        timeouts();
        operationTable();
        conversionTable();
        textTable();
    }
    logDirectories();
    if (!settings_.empty()) runFiles();
    if (!settings_.empty()) ledger();
    if (linkNamed) linkTest();
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

// A value a run replaces is no problem: the run goes on with the fallback,
// and says so in its logs in the words of the note.
void Check::timeouts() {
    std::string inForce;
    for (const SettingRules::Timeout& timeout : kTimeouts) {
        const std::string text = settings_[timeout.key];
        if (!SettingRules::Accepts(timeout, text))
            note(SettingRules::Replaced(timeout, text) + ": a run says so in its logs and goes on");
        inForce += std::string(inForce.empty() ? "" : ", ") + timeout.key + "=" +
                   std::to_string(SettingRules::InForce(timeout, text)) + " ms";
    }
    good("time-outs in force: " + inForce);
}

bool Check::has(const std::string& key) const {
    const auto found = settings_.find(key);
    return found != settings_.end() && found->second != "0";
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
