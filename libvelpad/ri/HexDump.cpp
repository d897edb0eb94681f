#include "ri/HexDump.h"

#include <algorithm>

namespace ri {

namespace {

constexpr std::size_t kRow = 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";
// Hexadecimal, blank separated, and the characters with the blank before them.
constexpr std::size_t kHexWidth = kRow * 3 - 1;
constexpr std::size_t kCharWidth = 1 + kRow * 4;

// Writes the character column of one row at out; returns the end. DEL is
// written escaped, other bytes outside printable ASCII as dots.
char* PutCharacters(const unsigned char* row, std::size_t count, char* out) {
    for (std::size_t i = 0; i < kRow; ++i) {
        const unsigned char byte = i < count ? row[i] : 0;
        if (byte == 0x7F) {
            *out++ = '\\';
            *out++ = 'x';
            *out++ = '7';
            *out++ = 'F';
        } else {
            *out++ = byte < 0x20 || byte >= 0x80 ? '.' : static_cast<char>(byte);
        }
    }
    return out;
}

// Writes the blank-separated hexadecimal column of one row at out.
char* PutHex(const unsigned char* row, std::size_t count, char* out) {
    for (std::size_t i = 0; i < kRow; ++i) {
        const unsigned char byte = i < count ? row[i] : 0;
        if (i > 0) *out++ = ' ';
        *out++ = kHexDigits[byte >> 4];
        *out++ = kHexDigits[byte & 0x0F];
    }
    return out;
}

}  // namespace

// The rows are written into one buffer sized for the worst case (every
// character escaped), then cut to what was written.
std::string HexDump(const std::string& bytes, const std::string& prefix, bool withCharacters) {
    const std::size_t rows = (bytes.size() + kRow - 1) / kRow;
    std::string text(rows * (prefix.size() + kHexWidth + (withCharacters ? kCharWidth : 0) + 1),
                     '\0');
    char* out = text.data();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t offset = 0; offset < bytes.size(); offset += kRow) {
        const std::size_t count = std::min(kRow, bytes.size() - offset);
        out = PutHex(data + offset, count, std::copy(prefix.begin(), prefix.end(), out));
        if (withCharacters) {
            *out++ = ' ';
            out = PutCharacters(data + offset, count, out);
        }
        *out++ = '\n';
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

}  // namespace ri
