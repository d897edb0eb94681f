#include <cctype>
#include <cstdlib>

#include "ri/Conv.h"

namespace ri {
namespace Conv {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

namespace HEX {

std::string ToString(const std::string& bytes, const std::string& separator) {
    std::string text;
    text.reserve(bytes.size() * (2 + separator.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) text += separator;
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0F];
    }
    return text;
}

long To(const std::string& text) {
    return std::strtol(text.c_str(), nullptr, 16);
}

std::string ToBytes(const std::string& text) {
    std::string bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) break;
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) break;
        bytes += static_cast<char>(high << 4 | low);
        i += 2;
    }
    return bytes;
}

}  // namespace HEX

namespace BCD {

std::string To(const std::string& digits) {
    const std::string even = digits.size() % 2 != 0 ? "0" + digits : digits;
    std::string bytes;
    for (std::size_t i = 0; i + 1 < even.size(); i += 2) {
        if (!IsDigit(even[i]) || !IsDigit(even[i + 1])) continue;
        bytes += static_cast<char>((even[i] - '0') << 4 | (even[i + 1] - '0'));
    }
    return bytes;
}

std::string From(const std::string& bytes) {
    std::string digits;
    digits.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        digits += static_cast<char>('0' + (byte >> 4));
        digits += static_cast<char>('0' + (byte & 0x0F));
    }
    return digits;
}

int From(std::uint8_t byte) {
    return (byte >> 4) * 10 + (byte & 0x0F);
}

}  // namespace BCD

}  // namespace Conv
}  // namespace ri
