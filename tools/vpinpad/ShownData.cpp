#include "ShownData.h"

namespace vpinpad {

namespace {

bool IsLabelChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Longest number a marker may carry: more digits than any frame's size needs.
constexpr std::size_t kMostDigits = 9;

}  // namespace

bool ShownData::ReadAt(const std::string& text, std::size_t at, std::string* label,
                       std::size_t* bytes, std::size_t* markerLength) {
    static const std::string kSeparator = ": ";
    static const std::string kEnd = " bytes>";
    if (at >= text.size() || text[at] != '<') return false;
    std::size_t pos = at + 1;
    while (pos < text.size() && IsLabelChar(text[pos])) ++pos;
    if (pos == at + 1 || text.compare(pos, kSeparator.size(), kSeparator) != 0) return false;
    const std::size_t digits = pos + kSeparator.size();
    std::size_t end = digits;
    while (end < text.size() && IsDigit(text[end])) ++end;
    if (end == digits || end - digits > kMostDigits) return false;
    if (text.compare(end, kEnd.size(), kEnd) != 0) return false;
    *label = text.substr(at + 1, pos - at - 1);
    *bytes = std::stoul(text.substr(digits, end - digits));
    *markerLength = end + kEnd.size() - at;
    return true;
}

bool ShownData::Read(const std::string& text, std::string* label, std::size_t* bytes) {
    std::size_t length = 0;
    return ReadAt(text, 0, label, bytes, &length) && length == text.size();
}

std::size_t ShownData::Find(const std::string& text) {
    std::string label;
    std::size_t bytes = 0;
    std::size_t length = 0;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        if (ReadAt(text, at, &label, &bytes, &length)) return at;
    }
    return std::string::npos;
}

}  // namespace vpinpad
