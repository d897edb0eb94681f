#include "ri/LogText.h"

namespace ri {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

// Runs of plain bytes are copied whole, so a long frame costs one pass.
std::string LogText(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    std::size_t plain = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (!NeedsEscape(byte)) continue;
        line.append(text, plain, at - plain);
        const char escape[] = {'\\', 'x', kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]};
        line.append(escape, sizeof escape);
        plain = at + 1;
    }
    line.append(text, plain, std::string::npos);
    return line;
}

}  // namespace ri
