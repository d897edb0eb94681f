#ifndef VELPAD_ENGINE_FRAMECODEC_H
#define VELPAD_ENGINE_FRAMECODEC_H

#include <cstddef>
#include <string>

// The pinpad frame without any I/O: the byte 0x01, the payload length as a
// 16-bit big-endian number, the payload; no checksum. Encode builds a frame;
// the decoder is fed bytes as they arrive and hands out whole frames, and
// reports bytes outside a frame and frames cut short as such, so the link
// decides what to answer (a NAK) and the codec only counts bytes.
class FrameCodec {
public:
    static constexpr char kStart = 0x01;
    static constexpr std::size_t kHeaderSize = 3;
    static constexpr std::size_t kMaxPayload = 0xFFFF;

    // What the bytes held so far make.
    enum class Status {
        kNeedMore,  // a frame is begun (or nothing is held): more bytes are needed
        kFrame,     // a whole frame: its payload was taken
        kStray,     // a byte that cannot start a frame: it was taken
    };

    // The frame that carries the payload; empty when the payload is longer
    // than a frame can say.
    static std::string Encode(const std::string& payload);

    void Feed(const std::string& bytes) { buffer_.append(bytes); }
    // Takes the next frame (into *payload) or the next stray byte (into
    // *stray) from the bytes held; kNeedMore leaves everything in place.
    Status Take(std::string* payload, char* stray);
    // Bytes still missing before the piece being read is whole: the rest of
    // the header while it is incomplete, then the rest of the payload. A
    // stray byte or nothing held counts as one byte missing (a frame start).
    std::size_t Missing() const;
    // Whether the header of the frame being read is whole.
    bool HeaderComplete() const;
    // The payload bytes of a frame cut short, as far as they arrived.
    std::string PartialPayload() const;
    // Drops every byte held (a frame cut short, a purged line); returns how
    // many there were.
    std::size_t Discard();

private:
    std::size_t DeclaredLength() const;

    std::string buffer_;
};

#endif
