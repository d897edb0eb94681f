#include "ri/ByteReader.h"

#include <algorithm>

#include "ri/Exception.h"

namespace ri {

ByteReader::ByteReader(const void* data, std::size_t size)
    : data_(static_cast<const std::uint8_t*>(data)), size_(data == nullptr ? 0 : size) {}

ByteReader::ByteReader(const std::string& data) : ByteReader(data.data(), data.size()) {}

void ByteReader::Need(std::size_t count) const {
    if (!Has(count)) {
        throw Exception(kShort, "Read past the end: %zu bytes wanted at %zu of %zu", count, pos_,
                        size_);
    }
}

std::uint32_t ByteReader::ReadBE(std::size_t count) {
    Need(count);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value = value << 8 | data_[pos_ + i];
    pos_ += count;
    return value;
}

std::uint8_t ByteReader::U8() {
    return static_cast<std::uint8_t>(ReadBE(1));
}

std::uint16_t ByteReader::U16BE() {
    return static_cast<std::uint16_t>(ReadBE(2));
}

std::uint32_t ByteReader::U32BE() {
    return ReadBE(4);
}

std::uint16_t ByteReader::U16LE() {
    const std::uint16_t value = U16BE();
    return static_cast<std::uint16_t>(value >> 8 | value << 8);
}

std::uint32_t ByteReader::U32LE() {
    Need(4);
    std::uint32_t value = 0;
    for (std::size_t i = 4; i > 0; --i) value = value << 8 | data_[pos_ + i - 1];
    pos_ += 4;
    return value;
}

std::string ByteReader::Bytes(std::size_t count) {
    Need(count);
    std::string bytes(reinterpret_cast<const char*>(data_ + pos_), count);
    pos_ += count;
    return bytes;
}

void ByteReader::Skip(std::size_t count) {
    Need(count);
    pos_ += count;
}

std::uint8_t ByteReader::Peek() const {
    Need(1);
    return data_[pos_];
}

std::uint32_t ByteReader::BerTag(std::size_t maxBytes) {
    std::uint32_t tag = 0;
    if (!TryBerTag(&tag, maxBytes)) {
        throw Exception(kShort, "Bad or truncated tag number at %zu of %zu", pos_, size_);
    }
    return tag;
}

std::string ByteReader::Until(const std::string& separator) {
    std::string text;
    if (!TryUntil(separator, &text)) {
        throw Exception(kShort, "Separator not found at %zu of %zu", pos_, size_);
    }
    return text;
}

std::string ByteReader::Rest() {
    return Bytes(Remaining());
}

bool ByteReader::TryU8(std::uint8_t* out) {
    if (!Has(1)) return false;
    const std::uint8_t value = U8();
    if (out != nullptr) *out = value;
    return true;
}

bool ByteReader::TryU16BE(std::uint16_t* out) {
    if (!Has(2)) return false;
    const std::uint16_t value = U16BE();
    if (out != nullptr) *out = value;
    return true;
}

bool ByteReader::TryU32BE(std::uint32_t* out) {
    if (!Has(4)) return false;
    const std::uint32_t value = U32BE();
    if (out != nullptr) *out = value;
    return true;
}

bool ByteReader::TryBytes(std::size_t count, std::string* out) {
    if (!Has(count)) return false;
    std::string bytes = Bytes(count);
    if (out != nullptr) *out = std::move(bytes);
    return true;
}

bool ByteReader::TrySkip(std::size_t count) {
    if (!Has(count)) return false;
    pos_ += count;
    return true;
}

// One byte, or when its low five bits are all set, more bytes while the top
// bit of the byte just read is set. A number longer than maxBytes or cut off
// by the end is refused and the cursor stays.
bool ByteReader::TryBerTag(std::uint32_t* out, std::size_t maxBytes) {
    std::size_t length = 1;
    if (!Has(1)) return false;
    if ((data_[pos_] & 0x1F) == 0x1F) {
        do {
            if (!Has(length + 1) || length + 1 > maxBytes) return false;
            ++length;
        } while ((data_[pos_ + length - 1] & 0x80) != 0);
    }
    const std::uint32_t tag = ReadBE(length);
    if (out != nullptr) *out = tag;
    return true;
}

bool ByteReader::TryUntil(const std::string& separator, std::string* out) {
    if (separator.empty()) return false;
    // Searched in place: a request split into many fields is read once.
    const char* begin = reinterpret_cast<const char*>(data_ + pos_);
    const char* end = begin + Remaining();
    const char* found = std::search(begin, end, separator.begin(), separator.end());
    if (found == end) return false;
    if (out != nullptr) out->assign(begin, found);
    pos_ += static_cast<std::size_t>(found - begin) + separator.size();
    return true;
}

bool ByteReader::Expect(const std::string& prefix) {
    if (!Has(prefix.size())) return false;
    if (prefix.compare(0, prefix.size(), reinterpret_cast<const char*>(data_ + pos_),
                       prefix.size()) != 0) {
        return false;
    }
    pos_ += prefix.size();
    return true;
}

}  // namespace ri
