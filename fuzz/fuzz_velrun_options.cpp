// velrun's command line: the input is cut at zero bytes into arguments after
// the program name, then read as velrun reads it: options into the parameter
// map, and the operation code from "--command".
#include <getopt.h>

#include <vector>

#include "FuzzSandbox.h"
#include "Options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EnterSandbox();
    // getopt's own complaints about unknown options would flood the output.
    opterr = 0;
    std::vector<std::string> words{"velrun"};
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != 0) {
            word += static_cast<char>(data[i]);
            continue;
        }
        words.push_back(word);
        word.clear();
    }
    if (!word.empty()) words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    velrun::ParamMap params;
    if (velrun::parseOptions(static_cast<int>(words.size()), argv.data(), params))
        velrun::parseCommand(params["command"]);
    return 0;
}
