#ifndef VELPAD_API_LEGACYRECORD_H
#define VELPAD_API_LEGACYRECORD_H

#include <cstddef>
#include <cstring>
#include <string>

// A caller's authorization structure seen as bytes. Every read and write is
// kept inside the size the caller gave, so a structure shorter than ours is
// never overrun. A field is read only when it lies wholly inside the size: the
// part of a cut field would be another value (an amount of 1500 cut to 15).
// A value written out is cut at the size like at its field's width; a field
// that starts beyond the size is not written.
class LegacyRecord {
public:
    LegacyRecord(void* bytes, std::size_t size)
        : bytes_(static_cast<unsigned char*>(bytes)), size_(size) {}

    // The field's text: its bytes up to the first zero byte or the end of the
    // field. Empty when the first byte is zero or the field is not wholly
    // inside the size.
    std::string Text(std::size_t offset, std::size_t width) const;
    // Copies at most limit bytes of value to the start of the field, without
    // a terminating zero; the bytes after the copied value stay as they were.
    void Put(std::size_t offset, std::size_t limit, const std::string& value);

    // A whole integer field in machine order; false when it does not fit.
    template <typename Number>
    bool Read(std::size_t offset, Number* value) const {
        if (!Holds(offset, sizeof(Number))) return false;
        std::memcpy(value, bytes_ + offset, sizeof(Number));
        return true;
    }
    template <typename Number>
    void Write(std::size_t offset, Number value) {
        if (Holds(offset, sizeof(Number))) std::memcpy(bytes_ + offset, &value, sizeof(Number));
    }

private:
    bool Holds(std::size_t offset, std::size_t width) const {
        return offset <= size_ && width <= size_ - offset;
    }
    // The part of the field inside the size.
    std::size_t Visible(std::size_t offset, std::size_t width) const;

    unsigned char* bytes_;
    std::size_t size_;
};

#endif
