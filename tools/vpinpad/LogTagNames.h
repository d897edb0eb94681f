#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vpinpad {

// The names by which the host's engine log shows the tags of a tag list ("pan=...",
// "rrn=..."), with the tag numbers they stand for on the wire. A tag without a name is shown
// as "0x" and its number in hexadecimal. The emulator keeps its own copy of the names, as it
// keeps its own framing; a test compares it with the library's dictionary.
class LogTagNames {
public:
    using Entry = std::pair<const char*, std::uint32_t>;

    // Every name with its tag number.
    static const std::vector<Entry>& All();
    // The tag number of a name as the log writes it (a name, or "0x" and hex digits); false
    // for a name the log cannot have written.
    static bool Find(const std::string& name, std::uint64_t* tag);
    // Card numbers: the log shows them unpacked from their packed digits and masked.
    static bool IsCardNumber(const std::string& name);
};

}  // namespace vpinpad
