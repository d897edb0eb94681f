#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace vpinpad {

// The emulator's options:
//   --scenario FILE         steps to play (required)
//   --tcp ADDRESS:PORT      relay port on a loopback address (default 127.0.0.1:0)
//   --pty PATH              serial line: link PATH to a pseudo-terminal instead
//   --port-file F           written with the relay port or PATH once the line is ready
//   --bank-port-file F      written with the fake bank's port once it listens
//   --transcript F          record of every frame in both directions
//   --relay-answer 0xNN     byte answered to the relay identifier (default 0x05)
//   --timeout SECONDS       the whole run stops after this long (default 30)
//   --var NAME=VALUE        scenario variable (repeatable)
// or, to turn an engine log into a scenario and exit:
//   --from-log LOG          the host's engine log of a run
//   --out SCENARIO          where the scenario goes (default: standard output)
class CommandLine {
public:
    // Throws std::invalid_argument with a message that names the bad option.
    static CommandLine Parse(const std::vector<std::string>& args);
    static const char* Usage();

    std::string scenario;
    std::string tcp = "127.0.0.1:0";
    std::string pty;
    std::string portFile;
    std::string bankPortFile;
    std::string transcript;
    unsigned char relayAnswer = 0x05;
    long timeoutSeconds = 30;
    std::map<std::string, std::string> vars;
    std::string fromLog;
    std::string out;
    bool help = false;

private:
    void Apply(const std::string& option, const std::string& value);
};

}  // namespace vpinpad
