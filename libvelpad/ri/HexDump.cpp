#include "ri/HexDump.h"

namespace ri {

namespace {

constexpr std::size_t kRow = 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";
// Hexadecimal, blank separated, and the characters with the blank before them.
constexpr std::size_t kHexWidth = kRow * 3 - 1;
constexpr std::size_t kCharWidth = 1 + kRow * 4;

void AppendCharacter(unsigned char byte, std::string* line) {
    if (byte == 0x7F)
        line->append("\\x7F");
    else
        line->push_back(byte < 0x20 || byte >= 0x80 ? '.' : static_cast<char>(byte));
}

}  // namespace

std::string HexDump(const std::string& bytes, const std::string& prefix, bool withCharacters) {
    const std::size_t rows = (bytes.size() + kRow - 1) / kRow;
    std::string text;
    text.reserve(rows * (prefix.size() + kHexWidth + (withCharacters ? kCharWidth : 0) + 1));
    for (std::size_t offset = 0; offset < bytes.size(); offset += kRow) {
        text += prefix;
        for (std::size_t i = 0; i < kRow; ++i) {
            const std::size_t at = offset + i;
            const auto byte = at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0;
            if (i > 0) text.push_back(' ');
            text.push_back(kHexDigits[byte >> 4]);
            text.push_back(kHexDigits[byte & 0x0F]);
        }
        if (withCharacters) {
            text.push_back(' ');
            for (std::size_t i = 0; i < kRow; ++i) {
                const std::size_t at = offset + i;
                AppendCharacter(at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0,
                                &text);
            }
        }
        text.push_back('\n');
    }
    return text;
}

}  // namespace ri
