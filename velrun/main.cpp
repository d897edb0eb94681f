// velrun: runs one terminal operation through libvelpad and prints its result
// as key=value lines. Diagnostics go to standard error.
#include <iostream>

#include "Help.h"
#include "Options.h"
#include "Output.h"
#include "Runner.h"
#include "SignalHandler.h"

int main(int argc, char* argv[]) {
    if (const auto status = velrun::runInformational(argc, argv)) return *status;
    velrun::installSignalHandlers();
    velrun::ParamMap params;
    if (!velrun::parseOptions(argc, argv, params)) {
        std::cerr << "Некорректный параметр" << std::endl;
        return 1;
    }
    const auto command = velrun::parseCommand(params["command"]);
    if (!command) {
        std::cerr << "stoi" << std::endl;
        return 1;
    }
    params.erase("command");
    velrun::printResult(velrun::runCommand(params, *command));
    return 0;
}
