#include "Help.h"

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "Check.h"
#include "LedgerListing.h"
#include "Report.h"

namespace velrun {

namespace {

const char kUsage[] =
    "Usage: velrun --command CODE [OPTION VALUE]...\n"
    "       velrun --check | --help | --version\n"
    "       velrun --ledger [N] [--json]\n"
    "       velrun --report FILE\n"
    "\n"
    "Runs one terminal operation through libvelpad and prints its result as\n"
    "key=value lines: authorizationCode, cardNumber, cardType, code, message,\n"
    "rrn, success, terminalId. Diagnostics go to standard error. The settings\n"
    "(cashreg.ini, ops.ini, ...) are looked for from the working directory.\n"
    "\n"
    "Options (a single dash and unique abbreviations work too):\n"
    "  -c, --command CODE            operation code from the operation table\n"
    "  -a, --amount AMOUNT           amount in minor units\n"
    "  -v, --currency CODE           currency code\n"
    "  -t, --terminal_id ID          terminal identifier\n"
    "  -r, --rrn RRN                 reference of an earlier operation\n"
    "  -i, --transaction_id ID       transaction identifier\n"
    "  -n, --receipt_number NUMBER   receipt number\n"
    "\n"
    "  --check     check the installation in the working directory, with the\n"
    "              library's link test to the pinpad, and exit\n"
    "  --ledger [N] [--json]\n"
    "              print the newest N records (default 20) of the ledger of\n"
    "              operations, one key=value line each or as JSON, and exit\n"
    "  --report FILE\n"
    "              write a support bundle of the installation to FILE (.tar.gz):\n"
    "              the --check report, the versions, the settings files with\n"
    "              secret values blanked, the newest engine logs, the traces,\n"
    "              the files of the last run, the ledger's newest 200 records\n"
    "              and the serial devices; refused when any of it holds card\n"
    "              data in clear\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Exit status: 0 when the result was printed (the operation's outcome is in\n"
    "\"success\" and \"code\"), 1 for a bad command line; --check: 0 when the\n"
    "installation is ready, 2 otherwise; --ledger: 0, or 2 when the ledger is\n"
    "off, missing or unreadable; --report: 0 when the bundle was written, 2 when\n"
    "it was refused for card data (nothing is written) or could not be written.\n";

}  // namespace

std::optional<int> runInformational(int argc, char* argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], "--ledger") == 0) {
        int count = kLedgerRecords;
        bool json = false;
        if (!parseLedgerArguments(std::vector<std::string>(argv + 2, argv + argc), &count, &json)) {
            std::cerr << "velrun: --ledger takes a count of 1.." << kMostLedgerRecords
                      << " and --json" << std::endl;
            return 1;
        }
        return listLedger(count, json, std::cout, std::cerr);
    }
    if (argc >= 2 && std::strcmp(argv[1], "--report") == 0) {
        if (argc != 3 || argv[2][0] == '\0') {
            std::cerr << "velrun: --report takes one file name" << std::endl;
            return 1;
        }
        return Report(argv[2]).run(std::cout, std::cerr);
    }
    if (argc != 2) return std::nullopt;
    if (std::strcmp(argv[1], "--help") == 0) {
        std::cout << kUsage << std::flush;
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::cout << "velrun " VELPAD_VERSION << std::endl;
        return 0;
    }
    if (std::strcmp(argv[1], "--check") == 0) return Check(std::cout).run();
    return std::nullopt;
}

}  // namespace velrun
