#include "ri/LogText.h"

#include "ri/Format.h"

namespace ri {

std::string LogText(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            line += Format("\\x%02X", byte);
        else
            line += c;
    }
    return line;
}

}  // namespace ri
