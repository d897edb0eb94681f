#pragma once

#include <cstddef>
#include <string>

namespace vpinpad {

// Data that the host's engine log shows by its length only, as "<LABEL: N bytes>": card
// data, bank data, file contents. A scenario made from a log puts filler bytes of that length
// in its place.
class ShownData {
public:
    // Reads "<LABEL: N bytes>" at text[at]; on success sets the label, the number of bytes
    // and the length of the marker itself.
    static bool ReadAt(const std::string& text, std::size_t at, std::string* label,
                       std::size_t* bytes, std::size_t* markerLength);
    // True when the whole text is one marker.
    static bool Read(const std::string& text, std::string* label, std::size_t* bytes);
    // Where the first marker in text begins, or npos.
    static std::size_t Find(const std::string& text);
    // The bytes a scenario sends for data of that length.
    static std::string Filler(std::size_t bytes) { return std::string(bytes, '.'); }
};

}  // namespace vpinpad
