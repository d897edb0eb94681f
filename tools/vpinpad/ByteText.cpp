#include "ByteText.h"

#include <cstdio>

namespace vpinpad {

namespace {

std::string HexByte(unsigned char byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

}  // namespace

std::string ByteText::Hex(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        if (!out.empty()) out += ' ';
        out += HexByte(static_cast<unsigned char>(c));
    }
    return out;
}

std::string ByteText::Printable(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == 0x1B) {
            out += "\\e";
        } else if (byte == '\\' || byte == '"') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x" + HexByte(byte);
        }
    }
    return out;
}

}  // namespace vpinpad
