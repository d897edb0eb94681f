#pragma once

#include <string>

namespace ri {

// Bytes as log lines of 16, the last row padded with zero bytes: each line is
// prefix, the bytes in hexadecimal separated by blanks and, with characters,
// a blank and the bytes as characters ("." for control and non-ASCII bytes,
// DEL written as "\x7F" like every control byte in a log line), then "\n".
// All lines are built in one string, so a large frame is written at once.
std::string HexDump(const std::string& bytes, const std::string& prefix, bool withCharacters);

}  // namespace ri
