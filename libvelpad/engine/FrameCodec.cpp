#include "engine/FrameCodec.h"

std::string FrameCodec::Encode(const std::string& payload) {
    if (payload.size() > kMaxPayload) return std::string();
    std::string frame;
    frame.reserve(payload.size() + kHeaderSize);
    frame += kStart;
    frame += static_cast<char>((payload.size() >> 8) & 0xFF);
    frame += static_cast<char>(payload.size() & 0xFF);
    frame += payload;
    return frame;
}

FrameCodec::Status FrameCodec::Take(std::string* payload, char* stray) {
    if (buffer_.empty()) return Status::kNeedMore;
    if (buffer_[0] != kStart) {
        *stray = buffer_[0];
        buffer_.erase(0, 1);
        return Status::kStray;
    }
    if (!HeaderComplete()) return Status::kNeedMore;
    const std::size_t total = kHeaderSize + DeclaredLength();
    if (buffer_.size() < total) return Status::kNeedMore;
    payload->assign(buffer_, kHeaderSize, total - kHeaderSize);
    buffer_.erase(0, total);
    return Status::kFrame;
}

std::size_t FrameCodec::Missing() const {
    if (buffer_.empty() || buffer_[0] != kStart) return 1;
    if (!HeaderComplete()) return kHeaderSize - buffer_.size();
    const std::size_t total = kHeaderSize + DeclaredLength();
    return buffer_.size() < total ? total - buffer_.size() : 0;
}

bool FrameCodec::HeaderComplete() const {
    return buffer_.size() >= kHeaderSize && buffer_[0] == kStart;
}

std::string FrameCodec::PartialPayload() const {
    if (!HeaderComplete()) return std::string();
    return buffer_.substr(kHeaderSize, DeclaredLength());
}

std::size_t FrameCodec::Discard() {
    const std::size_t held = buffer_.size();
    buffer_.clear();
    return held;
}

std::size_t FrameCodec::DeclaredLength() const {
    return (static_cast<std::size_t>(static_cast<unsigned char>(buffer_[1])) << 8) |
           static_cast<unsigned char>(buffer_[2]);
}
