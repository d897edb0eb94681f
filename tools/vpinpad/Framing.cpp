#include "Framing.h"

#include <stdexcept>

namespace vpinpad {

std::string Framing::Header(std::size_t length, unsigned char first) {
    if (length > kMaxPayload) {
        throw std::length_error("payload of " + std::to_string(length) +
                                " bytes does not fit a frame (at most 65535)");
    }
    std::string header(3, '\0');
    header[0] = static_cast<char>(first);
    header[1] = static_cast<char>((length >> 8) & 0xFF);
    header[2] = static_cast<char>(length & 0xFF);
    return header;
}

std::string Framing::Encode(const std::string& payload, unsigned char first) {
    return Header(payload.size(), first) + payload;
}

void Framing::Feed(const std::string& bytes) {
    buffer_ += bytes;
}

std::size_t Framing::Announced() const {
    if (buffer_.size() < 3 || static_cast<unsigned char>(buffer_[0]) != kStart) return 0;
    return static_cast<unsigned char>(buffer_[1]) * 256u + static_cast<unsigned char>(buffer_[2]);
}

Framing::Status Framing::Next(std::string* out) {
    if (buffer_.empty()) return Status::kNeedMore;
    if (static_cast<unsigned char>(buffer_[0]) != kStart) {
        std::size_t end = buffer_.find(static_cast<char>(kStart));
        if (end == std::string::npos) end = buffer_.size();
        *out = buffer_.substr(0, end);
        buffer_.erase(0, end);
        return Status::kStray;
    }
    if (buffer_.size() < 3) return Status::kNeedMore;
    std::size_t length = Announced();
    if (buffer_.size() < 3 + length) return Status::kNeedMore;
    *out = buffer_.substr(3, length);
    buffer_.erase(0, 3 + length);
    return Status::kFrame;
}

}  // namespace vpinpad
