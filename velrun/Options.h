// Command-line options of velrun: the parameter map and the operation code.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace velrun {

// Long option name -> argument as typed; the first occurrence of an option wins.
using ParamMap = std::map<std::string, std::string>;

// Parses argv into `params`. Returns false on an unknown option or a missing
// argument; non-option words are ignored.
bool parseOptions(int argc, char* argv[], ParamMap& params);

// Reads the operation code as a 32-bit signed decimal integer: leading white
// space is skipped, a sign is allowed, reading stops at the first non-digit.
// Empty result when no digit can be read or the value is out of range.
std::optional<int> parseCommand(const std::string& text);

}  // namespace velrun
