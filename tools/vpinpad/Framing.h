#pragma once

#include <cstddef>
#include <string>

namespace vpinpad {

// The pinpad link frame: the byte 0x01, a 16-bit big-endian payload length, the payload.
// Encoding builds frames (also deliberately damaged ones); the decoder collects the bytes
// that arrive from the host and hands out whole frames.
class Framing {
public:
    static constexpr unsigned char kStart = 0x01;
    static constexpr std::size_t kMaxPayload = 0xFFFF;

    enum class Status { kNeedMore, kFrame, kStray };

    // Header for a payload of `length` bytes; throws std::length_error above kMaxPayload.
    static std::string Header(std::size_t length, unsigned char first = kStart);
    static std::string Encode(const std::string& payload, unsigned char first = kStart);

    void Feed(const std::string& bytes);
    // kFrame: `*out` holds the next payload. kStray: the buffer did not start with 0x01;
    // `*out` holds the bytes up to the next 0x01 (or all of them). kNeedMore: nothing whole yet.
    Status Next(std::string* out);
    // Bytes of an unfinished frame still waiting for the rest.
    std::size_t Pending() const { return buffer_.size(); }
    // Announced payload length of the unfinished frame, or 0 when no header is complete.
    std::size_t Announced() const;
    void Reset() { buffer_.clear(); }

private:
    std::string buffer_;
};

}  // namespace vpinpad
