#include "CommandLine.h"

namespace vpinpad {

namespace {

long Number(const std::string& option, const std::string& value, long min, long max) {
    std::size_t used = 0;
    long number = min - 1;
    try {
        number = std::stol(value, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != value.size() || number < min || number > max) {
        throw std::invalid_argument(option + " takes a number from " + std::to_string(min) +
                                    " to " + std::to_string(max) + ", got \"" + value + "\"");
    }
    return number;
}

}  // namespace

const char* CommandLine::Usage() {
    return "usage: vpinpad --scenario FILE [--tcp 127.0.0.1:PORT | --pty /dev/ttyNAME]\n"
           "               [--port-file F] [--bank-port-file F] [--transcript F]\n"
           "               [--relay-answer 0xNN] [--timeout SECONDS] [--var NAME=VALUE ...]\n"
           "       vpinpad --from-log LOG [--out SCENARIO]\n";
}

void CommandLine::Apply(const std::string& option, const std::string& value) {
    if (option == "--scenario") {
        scenario = value;
    } else if (option == "--tcp") {
        tcp = value;
    } else if (option == "--pty") {
        pty = value;
    } else if (option == "--port-file") {
        portFile = value;
    } else if (option == "--bank-port-file") {
        bankPortFile = value;
    } else if (option == "--transcript") {
        transcript = value;
    } else if (option == "--relay-answer") {
        relayAnswer = static_cast<unsigned char>(Number(option, value, 0, 255));
    } else if (option == "--timeout") {
        timeoutSeconds = Number(option, value, 1, 86400);
    } else if (option == "--from-log") {
        fromLog = value;
    } else if (option == "--out") {
        out = value;
    } else if (option == "--var") {
        std::size_t equals = value.find('=');
        if (equals == std::string::npos || equals == 0) {
            throw std::invalid_argument("--var takes NAME=VALUE, got \"" + value + "\"");
        }
        vars[value.substr(0, equals)] = value.substr(equals + 1);
    } else {
        throw std::invalid_argument("unknown option \"" + option + "\"");
    }
}

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    CommandLine line;
    bool tcpGiven = false;
    std::string playOption;  // an option that only playing a scenario takes
    // Options come in pairs of a name and its value.
    for (std::size_t i = 0; i < args.size(); i += 2) {
        if (args[i] == "--help" || args[i] == "-h") {
            line.help = true;
            return line;
        }
        if (i + 1 >= args.size()) throw std::invalid_argument(args[i] + " needs a value");
        tcpGiven = tcpGiven || args[i] == "--tcp";
        if (args[i] != "--from-log" && args[i] != "--out" && playOption.empty())
            playOption = args[i];
        line.Apply(args[i], args[i + 1]);
    }
    if (!line.fromLog.empty()) {
        if (!playOption.empty())
            throw std::invalid_argument("--from-log takes only --out, not " + playOption);
        return line;
    }
    if (!line.out.empty()) throw std::invalid_argument("--out goes with --from-log");
    if (line.scenario.empty()) throw std::invalid_argument("--scenario or --from-log is required");
    if (tcpGiven && !line.pty.empty()) throw std::invalid_argument("give --tcp or --pty, not both");
    return line;
}

}  // namespace vpinpad
