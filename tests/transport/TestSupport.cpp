#include "TestSupport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace transport_test {

namespace {

bool WaitFor(int fd, short events, long timeoutMs) {
    pollfd entry{fd, events, 0};
    return poll(&entry, 1, static_cast<int>(timeoutMs)) > 0;
}

}  // namespace

PtyPair::PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        throw std::runtime_error("pseudo-terminal unavailable");
    }
    char name[128] = "";
    if (ptsname_r(master_, name, sizeof(name)) != 0) {
        throw std::runtime_error("pseudo-terminal has no slave name");
    }
    slaveName_ = name;
}

PtyPair::~PtyPair() {
    CloseMaster();
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

void PtyPair::Write(const std::string& bytes) const {
    SendAll(master_, bytes);
}

std::string PtyPair::Read(std::size_t count, long timeoutMs) const {
    return ReadUpTo(master_, count, timeoutMs);
}

LoopbackServer::LoopbackServer(int backlog, bool listening) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    socklen_t size = sizeof(address);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        (listening && listen(fd_, backlog) != 0) ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        throw std::runtime_error("loopback listener unavailable");
    }
    port_ = ntohs(address.sin_port);
}

LoopbackServer::~LoopbackServer() {
    close(fd_);
}

int LoopbackServer::Accept(long timeoutMs) const {
    if (!WaitFor(fd_, POLLIN, timeoutMs)) {
        return -1;
    }
    return accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
}

void SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + sent, bytes.size() - sent);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            throw std::runtime_error("test peer cannot write");
        }
        sent += static_cast<std::size_t>(count);
    }
}

std::string ReadUpTo(int fd, std::size_t count, long timeoutMs) {
    std::string data;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buffer[65536];
    while (data.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !WaitFor(fd, POLLIN, left.count())) {
            break;
        }
        const ssize_t got = read(fd, buffer, std::min(sizeof(buffer), count - data.size()));
        if (got <= 0) {
            break;
        }
        data.append(buffer, static_cast<std::size_t>(got));
    }
    return data;
}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        cancelled_ = true;
    }
    done_.notify_all();
    thread_.join();
}

}  // namespace transport_test
