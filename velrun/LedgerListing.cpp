#include "LedgerListing.h"

#include <sys/stat.h>

#include "SettingsFiles.h"
#include "engine/ledger/Ledger.h"
#include "engine/ledger/LedgerLine.h"

namespace velrun {

namespace {

constexpr long kBusyMs = 2000;

}  // namespace

std::string ledgerPath(std::string* why) {
    const Location settings = locateSettingsFile("cashreg.ini");
    std::vector<SettingsLine> lines;
    if (settings.found) readSettingsLines(settings.path, lines);
    const auto values = engineSettings(lines);
    const auto off = values.find("NO_LEDGER");
    if (off != values.end() && off->second != "0") {
        *why = "the ledger is off (NO_LEDGER in " + settings.path + ")";
        return "";
    }
    return settingsPath(values.at("LEDGER_FILE"), settings.directory);
}

int listLedger(int count, bool json, std::ostream& out, std::ostream& err) {
    std::string why;
    const std::string path = ledgerPath(&why);
    struct stat status {};
    if (path.empty() || stat(path.c_str(), &status) != 0) {
        err << "velrun: " << (path.empty() ? why : "no ledger at " + path) << std::endl;
        return 2;
    }
    Ledger ledger;
    std::vector<LedgerRecord> records;
    if (!ledger.Open(path, false, kBusyMs) || !ledger.Last(count, &records)) {
        err << "velrun: " << ledger.Error() << std::endl;
        return 2;
    }
    if (json) {
        out << LedgerJson(records);
    } else {
        for (const LedgerRecord& record : records) out << LedgerLine(record) << '\n';
    }
    out.flush();
    return 0;
}

bool parseLedgerArguments(const std::vector<std::string>& args, int* count, bool* json) {
    bool counted = false;
    for (const std::string& arg : args) {
        if (arg == "--json" && !*json) {
            *json = true;
            continue;
        }
        if (counted || arg.empty() || arg.size() > 6 ||
            arg.find_first_not_of("0123456789") != std::string::npos)
            return false;
        *count = std::stoi(arg);
        counted = true;
        if (*count < 1 || *count > kMostLedgerRecords) return false;
    }
    return true;
}

}  // namespace velrun
