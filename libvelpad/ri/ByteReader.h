#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ri {

// A bounds-checked cursor over bytes. Every fetch checks the remaining length
// first: the plain fetches throw ri::Exception (code ByteReader::kShort) and
// leave the cursor where it was; the Try fetches return false instead. The
// reader does not own the bytes; they must outlive it.
class ByteReader {
public:
    // Error code of the exception raised by a fetch past the end.
    static constexpr int kShort = -1;

    ByteReader(const void* data, std::size_t size);
    explicit ByteReader(const std::string& data);
    // A temporary string would be gone before the first fetch.
    explicit ByteReader(std::string&& data) = delete;

    std::size_t Size() const { return size_; }
    std::size_t Offset() const { return pos_; }
    std::size_t Remaining() const { return size_ - pos_; }
    bool AtEnd() const { return pos_ >= size_; }

    // Throwing fetches.
    std::uint8_t U8();
    std::uint16_t U16BE();
    std::uint32_t U32BE();
    std::uint16_t U16LE();
    std::uint32_t U32LE();
    std::string Bytes(std::size_t count);
    void Skip(std::size_t count);
    std::uint8_t Peek() const;
    // Tag number in the BER style: one byte, or when its low five bits are all
    // set, further bytes while their top bit is set (at most maxBytes bytes in
    // all); the bytes are combined big-endian (0x9F 0x02 -> 0x9F02).
    std::uint32_t BerTag(std::size_t maxBytes = 3);
    // Text up to separator; the separator is consumed. Throws when absent.
    std::string Until(const std::string& separator);
    // All remaining bytes.
    std::string Rest();

    // Non-throwing fetches: false (cursor unchanged) when too few bytes remain.
    bool TryU8(std::uint8_t* out);
    bool TryU16BE(std::uint16_t* out);
    bool TryU32BE(std::uint32_t* out);
    bool TryBytes(std::size_t count, std::string* out);
    bool TrySkip(std::size_t count);
    bool TryBerTag(std::uint32_t* out, std::size_t maxBytes = 3);
    // False (cursor unchanged) when separator does not occur in the rest.
    bool TryUntil(const std::string& separator, std::string* out);
    // True and consumed when the rest begins with prefix.
    bool Expect(const std::string& prefix);

private:
    bool Has(std::size_t count) const { return count <= size_ - pos_; }
    void Need(std::size_t count) const;
    std::uint32_t ReadBE(std::size_t count);

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace ri
