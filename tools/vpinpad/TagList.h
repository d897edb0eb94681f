#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vpinpad {

// The tag-length-value list carried by "SETTAGS:", "SEND_CARD:" and the reply to "GETTAGS:":
// the tag number in one to three bytes, most significant first, one length byte, the value.
class TagList {
public:
    using Item = std::pair<std::uint32_t, std::string>;

    // Throws std::invalid_argument for a tag above 0xFFFFFF or a value outside 1 to 127 bytes
    // (the receiving side cannot read any other length back).
    static std::string Build(const std::vector<Item>& items);
    // Reads a list; false when it is cut short or a length is outside 1 to 127.
    static bool Parse(const std::string& bytes, std::map<std::uint32_t, std::string>* out);
    // "9F1C=12345678" -> {0x9F1C, "12345678"}; throws std::invalid_argument.
    static Item ParseAssignment(const std::string& text);
};

}  // namespace vpinpad
