#include "MiniHost.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

MiniHost::~MiniHost() {
    Close();
}

bool MiniHost::ConnectTcp(int port) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
}

bool MiniHost::OpenSerial(const std::string& device) {
    fd_ = open(device.c_str(), O_RDWR | O_NOCTTY);
    if (fd_ < 0) return false;
    termios raw{};
    tcgetattr(fd_, &raw);
    cfmakeraw(&raw);
    return tcsetattr(fd_, TCSANOW, &raw) == 0;
}

void MiniHost::SendRaw(const std::string& bytes) {
    if (write(fd_, bytes.data(), bytes.size()) < 0) Close();
}

void MiniHost::SendFrame(const std::string& payload) {
    std::string frame = {'\x01', static_cast<char>(payload.size() >> 8),
                         static_cast<char>(payload.size() & 0xFF)};
    SendRaw(frame + payload);
}

std::string MiniHost::ReadRaw(std::size_t count, int waitMs) {
    std::string out;
    pollfd p{fd_, POLLIN, 0};
    while (out.size() < count && poll(&p, 1, waitMs) > 0) {
        char buffer[512];
        ssize_t n = read(fd_, buffer, std::min(sizeof buffer, count - out.size()));
        if (n <= 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

std::string MiniHost::ReadFrame(int waitMs) {
    std::string header = ReadRaw(3, waitMs);
    if (header.size() != 3 || header[0] != '\x01') return "<none>";
    std::size_t length =
        static_cast<unsigned char>(header[1]) * 256u + static_cast<unsigned char>(header[2]);
    std::string payload = ReadRaw(length, waitMs);
    return payload.size() == length ? payload : "<none>";
}

void MiniHost::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}
