#pragma once

#include <iconv.h>

#include <string>

namespace ri {
namespace Encoding {

// A kept-open iconv conversion from one charset to another. Not copyable: it
// owns the conversion descriptor.
class CharsetEncoder {
public:
    CharsetEncoder(const std::string& from, const std::string& to);
    ~CharsetEncoder();
    CharsetEncoder(const CharsetEncoder&) = delete;
    CharsetEncoder& operator=(const CharsetEncoder&) = delete;

    // 0 on success, non-zero when the conversion pair is not available.
    int open();
    // Converts like ri::EncodingFormat; empty when the encoder is not open.
    std::string encode(const std::string& text);
    // Releases the descriptor; harmless when not open.
    void close();
    bool isOpen() const { return cd_ != kClosed; }

private:
    static inline const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);
    std::string from_;
    std::string to_;
    iconv_t cd_ = kClosed;
};

}  // namespace Encoding
}  // namespace ri
