#pragma once

#include <string>

namespace vpinpad {

// Readable renderings of raw bytes for the transcript and for failure messages.
class ByteText {
public:
    // Uppercase hexadecimal, one blank between bytes.
    static std::string Hex(const std::string& bytes);
    // Printable ASCII as it is; ESC as "\e", backslash as "\\", every other byte as "\xNN".
    // The result can be pasted back into a scenario line.
    static std::string Printable(const std::string& bytes);
    // Printable text in double quotes.
    static std::string Quoted(const std::string& bytes) { return "\"" + Printable(bytes) + "\""; }
};

}  // namespace vpinpad
