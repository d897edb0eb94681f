#include "SocketIo.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace vpinpad {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

int SocketIo::ListenLoopback(const std::string& address, int port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1 ||
        (ntohl(addr.sin_addr.s_addr) >> 24) != 127) {
        throw std::runtime_error("\"" + address + "\" is not a loopback address (127.x.x.x)");
    }
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) Fail("socket");
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 4) != 0) {
        int saved = errno;
        close(fd);
        errno = saved;
        Fail("cannot listen on " + address + ":" + std::to_string(port));
    }
    return fd;
}

int SocketIo::LocalPort(int fd) {
    sockaddr_in addr{};
    socklen_t size = sizeof addr;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size) != 0) Fail("getsockname");
    return ntohs(addr.sin_port);
}

int SocketIo::Accept(int listenFd) {
    int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    return fd < 0 ? -1 : fd;
}

long SocketIo::ReadSome(int fd, std::string* out) {
    char buffer[4096];
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) return (errno == EAGAIN || errno == EINTR) ? -2 : -1;
    out->append(buffer, static_cast<std::size_t>(n));
    return n;
}

bool SocketIo::WaitReadable(int fd, int waitMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, waitMs) > 0;
}

void SocketIo::WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, 5000) <= 0) throw std::runtime_error("the line accepts no more bytes");
        } else {
            Fail("write");
        }
    }
}

void SocketIo::SetNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

void SocketIo::CloseFd(int* fd) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
}

}  // namespace vpinpad
