#include "TagList.h"

#include <stdexcept>

namespace vpinpad {

namespace {

bool MoreTagBytes(unsigned char first) {
    return (first & 0x1F) == 0x1F || first == 0xA1;
}

}  // namespace

std::string TagList::Build(const std::vector<Item>& items) {
    std::string out;
    for (const auto& [tag, value] : items) {
        if (tag > 0xFFFFFF) throw std::invalid_argument("tag number above FFFFFF");
        if (value.empty() || value.size() > 127) {
            throw std::invalid_argument("tag value must hold 1 to 127 bytes");
        }
        if (tag > 0xFFFF) out += static_cast<char>((tag >> 16) & 0xFF);
        if (tag > 0xFF) out += static_cast<char>((tag >> 8) & 0xFF);
        out += static_cast<char>(tag & 0xFF);
        out += static_cast<char>(value.size());
        out += value;
    }
    return out;
}

bool TagList::Parse(const std::string& bytes, std::map<std::uint32_t, std::string>* out) {
    std::size_t pos = 0;
    auto byte = [&bytes](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    while (pos < bytes.size()) {
        std::uint32_t tag = byte(pos++);
        if (MoreTagBytes(static_cast<unsigned char>(tag))) {
            while (pos < bytes.size() && (byte(pos) & 0x80) && byte(pos) != 0xA1 && tag <= 0xFFFF) {
                tag = (tag << 8) | byte(pos++);
            }
            if (pos >= bytes.size()) return false;
            tag = (tag << 8) | byte(pos++);
        }
        if (pos >= bytes.size()) return false;
        std::size_t length = byte(pos++);
        if (length == 0 || length > 127 || pos + length > bytes.size()) return false;
        (*out)[tag] = bytes.substr(pos, length);
        pos += length;
    }
    return true;
}

TagList::Item TagList::ParseAssignment(const std::string& text) {
    std::size_t equals = text.find('=');
    std::string number = text.substr(0, equals);
    if (equals == std::string::npos || number.empty() || number.size() > 6 ||
        number.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        throw std::invalid_argument("expected TAG=VALUE with a hexadecimal tag, got \"" + text +
                                    "\"");
    }
    return {static_cast<std::uint32_t>(std::stoul(number, nullptr, 16)), text.substr(equals + 1)};
}

}  // namespace vpinpad
