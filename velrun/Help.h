// The informational command lines of velrun: --help, --version and --check,
// each recognised only as the sole argument, and --ledger and --report with
// their own arguments, so that every other command line keeps its meaning.
#pragma once

#include <optional>

namespace velrun {

// Runs the informational command of argv and returns its exit status; empty
// when argv is an operation's command line.
std::optional<int> runInformational(int argc, char* argv[]);

}  // namespace velrun
