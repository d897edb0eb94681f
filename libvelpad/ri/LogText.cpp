#include "ri/LogText.h"

namespace ri {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

// Escapes are counted first and the text written once into a line of its
// final size: a long frame costs one allocation and no appends.
std::string LogText(const std::string& text) {
    std::size_t escapes = 0;
    for (const char c : text) escapes += NeedsEscape(static_cast<unsigned char>(c)) ? 1 : 0;
    if (escapes == 0) return text;
    std::string line(text.size() + escapes * 3, '\0');
    char* out = line.data();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (!NeedsEscape(byte)) {
            *out++ = c;
            continue;
        }
        *out++ = '\\';
        *out++ = 'x';
        *out++ = kHexDigits[byte >> 4];
        *out++ = kHexDigits[byte & 0x0F];
    }
    return line;
}

}  // namespace ri
