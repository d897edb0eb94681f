#include "ri/IniLine.h"

namespace ri {

namespace {

constexpr char kBlanks[] = " \n\r\t";

}  // namespace

IniLine IniLine::Read(const std::string& raw, bool sections) {
    IniLine line;
    const std::size_t first = raw.find_first_not_of(kBlanks);
    if (first == std::string::npos || raw[first] == '#' || raw[first] == ';') return line;
    const std::size_t end = raw.find_last_not_of(kBlanks) + 1;
    if (sections && raw[first] == '[') {
        const std::size_t close = raw.find(']', first);
        if (close < end) {
            line.kind = kSection;
            line.key = raw.substr(first + 1, close - first - 1);
        }
        return line;
    }
    const std::size_t equals = raw.find('=', first);
    if (equals >= end) {
        line.kind = kBare;
        line.key = raw.substr(first, end - first);
        return line;
    }
    line.kind = kEntry;
    line.key = raw.substr(first, equals - first);
    line.value = raw.substr(equals + 1, end - equals - 1);
    return line;
}

}  // namespace ri
