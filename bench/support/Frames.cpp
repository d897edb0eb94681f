#include "support/Frames.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace bench {

namespace {

constexpr int kSilenceMs = 10000;

}  // namespace

void WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t count = write(fd, data.data() + done, data.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) throw std::runtime_error("write failed");
        done += static_cast<std::size_t>(count);
    }
}

std::string ReadSome(int fd, std::size_t limit, int waitMs) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, waitMs) <= 0) return "";
    std::string data(limit, '\0');
    ssize_t count = 0;
    do {
        count = read(fd, &data[0], limit);
    } while (count < 0 && errno == EINTR);
    data.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    return data;
}

int ConnectLoopback(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        if (fd >= 0) close(fd);
        throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
    }
    return fd;
}

void FrameLink::Send(const std::string& payload) const {
    WriteAll(fd_, FrameCodec::Encode(payload));
}

std::string FrameLink::Receive() {
    std::string payload;
    char stray = 0;
    for (;;) {
        const FrameCodec::Status status = codec_.Take(&payload, &stray);
        if (status == FrameCodec::Status::kFrame) return payload;
        if (status == FrameCodec::Status::kStray)
            throw std::runtime_error("a byte outside a frame");
        const std::string more = ReadSome(fd_, FrameCodec::kMaxPayload + 3, kSilenceMs);
        if (more.empty()) throw std::runtime_error("the pinpad closed the line or went silent");
        codec_.Feed(more);
    }
}

}  // namespace bench
