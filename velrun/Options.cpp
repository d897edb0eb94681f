#include "Options.h"

#include <getopt.h>

#include <stdexcept>

namespace velrun {

namespace {

const char kShortOptions[] = "c:a:t:r:i:n:v:";

const option kLongOptions[] = {
    {"command", required_argument, nullptr, 'c'},
    {"amount", required_argument, nullptr, 'a'},
    {"terminal_id", required_argument, nullptr, 't'},
    {"rrn", required_argument, nullptr, 'r'},
    {"transaction_id", required_argument, nullptr, 'i'},
    {"receipt_number", required_argument, nullptr, 'n'},
    {"currency", required_argument, nullptr, 'v'},
    {nullptr, 0, nullptr, 0},
};

// Long name of the option that getopt reported by its short letter.
const char* longNameOf(int letter) {
    for (const option* o = kLongOptions; o->name != nullptr; ++o) {
        if (o->val == letter) return o->name;
    }
    return nullptr;
}

}  // namespace

bool parseOptions(int argc, char* argv[], ParamMap& params) {
    optind = 0;  // full restart of getopt, so that the parser may run again
    for (;;) {
        const int letter = getopt_long_only(argc, argv, kShortOptions, kLongOptions, nullptr);
        if (letter == -1) return true;
        const char* name = longNameOf(letter);
        if (letter == '?' || name == nullptr) return false;
        params.emplace(name, optarg);  // keeps an earlier occurrence
    }
}

std::optional<int> parseCommand(const std::string& text) {
    try {
        return std::stoi(text);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
}

}  // namespace velrun
