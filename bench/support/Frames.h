// Frames on a byte stream (a TCP socket or a terminal line): 0x01, a 16-bit
// big-endian length, the payload. Reads are buffered and bounded in time.
#ifndef VELPAD_BENCH_FRAMES_H
#define VELPAD_BENCH_FRAMES_H

#include <string>

#include "engine/FrameCodec.h"

namespace bench {

class FrameLink {
public:
    explicit FrameLink(int fd) : fd_(fd) {}

    void Send(const std::string& payload) const;
    // The next payload; throws when the peer closes or stays silent 10 s.
    std::string Receive();

private:
    int fd_;
    FrameCodec codec_;
};

// Writes all of data, throwing on failure.
void WriteAll(int fd, const std::string& data);
// Waits up to waitMs for fd to be readable, then reads what is there (at
// most limit bytes); empty on silence or close.
std::string ReadSome(int fd, std::size_t limit, int waitMs);
// A connected TCP socket to 127.0.0.1:port.
int ConnectLoopback(int port);

}  // namespace bench

#endif
