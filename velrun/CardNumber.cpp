#include "CardNumber.h"

namespace velrun {

namespace {

bool isPosition(char c) {
    return (c >= '0' && c <= '9') || c == '*';
}

}  // namespace

std::string maskCardNumber(const std::string& number) {
    std::size_t positions = 0;
    for (char c : number) positions += isPosition(c) ? 1 : 0;
    const std::size_t head = positions >= 12 ? 6 : 0;
    const std::size_t tail = positions >= 8 ? 4 : 0;
    std::string masked = number;
    std::size_t seen = 0;
    for (char& c : masked) {
        if (!isPosition(c)) continue;
        if (seen >= head && seen + tail < positions) c = '*';
        ++seen;
    }
    return masked;
}

}  // namespace velrun
