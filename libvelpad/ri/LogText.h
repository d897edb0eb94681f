#pragma once

#include <string>

namespace ri {

// Text bound for one log line: every control byte (below 0x20, and 0x7F) is
// written as "\xNN", so a value holding line breaks cannot start a line of
// its own and one event always stays one line.
std::string LogText(const std::string& text);

}  // namespace ri
