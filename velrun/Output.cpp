#include "Output.h"

#include <iostream>
#include <string>

namespace velrun {

namespace {

// Line breaks and other control characters become blanks, so that no value
// can add a line of its own to the output.
std::string oneLine(std::string value) {
    for (char& c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = ' ';
    }
    return value;
}

}  // namespace

void printResult(const ResultMap& result) {
    for (const auto& [key, value] : result) std::cout << key << '=' << oneLine(value) << std::endl;
}

}  // namespace velrun
