// A loopback TCP port that refuses every connection: bound by this object and
// never listened on, so no other program can take it while the test runs.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace velrun_test {

class ClosedPort {
public:
    ClosedPort() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof(address);
        if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~ClosedPort() {
        if (fd_ >= 0) close(fd_);
    }
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    // The port number as a setting takes it; "0" when no port could be had.
    std::string Text() const { return std::to_string(port_); }

private:
    int fd_;
    int port_ = 0;
};

}  // namespace velrun_test
