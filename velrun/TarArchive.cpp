#include "TarArchive.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace velrun {

namespace {

constexpr std::size_t kBlock = 512;
constexpr std::size_t kNameField = 100;
constexpr std::size_t kPrefixField = 155;

// The ustar header's fields, by offset and length.
struct Field {
    std::size_t offset;
    std::size_t length;
};
constexpr Field kName{0, 100};
constexpr Field kMode{100, 8};
constexpr Field kUid{108, 8};
constexpr Field kGid{116, 8};
constexpr Field kSize{124, 12};
constexpr Field kMtime{136, 12};
constexpr Field kChecksum{148, 8};
constexpr Field kType{156, 1};
constexpr Field kMagic{257, 6};
constexpr Field kVersion{263, 2};
constexpr Field kPrefix{345, 155};

void put(char* header, Field field, const std::string& text) {
    // A field that the text fills has no terminating zero: tar reads it so.
    std::copy_n(text.data(), std::min(text.size(), field.length), header + field.offset);
}

// An octal number filling the field but its last byte, which stays zero.
void putOctal(char* header, Field field, unsigned long long value) {
    char text[24] = {};
    std::snprintf(text, sizeof(text), "%0*llo", static_cast<int>(field.length - 1), value);
    std::memcpy(header + field.offset, text, field.length - 1);
}

// The split of a name into the prefix and name fields ("" and the name when it
// fits the name field); false when no split fits.
bool splitName(const std::string& name, std::string* prefix, std::string* rest) {
    if (name.size() <= kNameField) {
        *rest = name;
        return true;
    }
    for (std::size_t slash = name.find('/'); slash != std::string::npos;
         slash = name.find('/', slash + 1)) {
        if (slash <= kPrefixField && name.size() - slash - 1 <= kNameField && slash > 0) {
            *prefix = name.substr(0, slash);
            *rest = name.substr(slash + 1);
            return true;
        }
    }
    return false;
}

// A pax record "LENGTH key=value\n", whose length counts its own digits.
std::string paxRecord(const std::string& key, const std::string& value) {
    const std::size_t body = key.size() + value.size() + 3;
    std::size_t length = body + 1;
    while (std::to_string(length).size() + body != length) ++length;
    return std::to_string(length) + " " + key + "=" + value + "\n";
}

}  // namespace

void TarArchive::Add(const std::string& name, const std::string& content, std::time_t modified) {
    std::string prefix;
    std::string rest;
    if (!splitName(name, &prefix, &rest)) {
        const std::string record = paxRecord("path", name);
        Header("PaxHeaders/" + name.substr(name.size() - kNameField / 2), record.size(), modified,
               'x');
        bytes_ += record;
        Pad();
    }
    Header(name, content.size(), modified, '0');
    bytes_ += content;
    Pad();
}

void TarArchive::Header(const std::string& name, std::size_t size, std::time_t modified,
                        char type) {
    char header[kBlock] = {};
    std::string prefix;
    std::string rest;
    if (!splitName(name, &prefix, &rest)) rest = name.substr(name.size() - kNameField);
    put(header, kName, rest);
    put(header, kPrefix, prefix);
    putOctal(header, kMode, 0644);
    putOctal(header, kUid, 0);
    putOctal(header, kGid, 0);
    putOctal(header, kSize, size);
    putOctal(header, kMtime, modified > 0 ? static_cast<unsigned long long>(modified) : 0);
    header[kType.offset] = type;
    put(header, kMagic, "ustar");
    put(header, kVersion, "00");
    std::memset(header + kChecksum.offset, ' ', kChecksum.length);
    unsigned sum = 0;
    for (const char c : header) sum += static_cast<unsigned char>(c);
    char checksum[8] = {};
    std::snprintf(checksum, sizeof(checksum), "%06o", sum);
    std::memcpy(header + kChecksum.offset, checksum, 7);
    bytes_.append(header, kBlock);
}

void TarArchive::Pad() {
    bytes_.append((kBlock - bytes_.size() % kBlock) % kBlock, '\0');
}

std::string TarArchive::Finish() const {
    return bytes_ + std::string(2 * kBlock, '\0');
}

}  // namespace velrun
