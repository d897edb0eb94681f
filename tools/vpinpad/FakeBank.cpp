#include "FakeBank.h"

#include <stdexcept>

#include "SocketIo.h"

namespace vpinpad {

FakeBank::~FakeBank() {
    SocketIo::CloseFd(&connFd_);
    SocketIo::CloseFd(&listenFd_);
}

void FakeBank::Listen() {
    listenFd_ = SocketIo::ListenLoopback("127.0.0.1", 0);
    port_ = SocketIo::LocalPort(listenFd_);
}

std::vector<int> FakeBank::PollFds() const {
    std::vector<int> fds{listenFd_};
    if (connFd_ >= 0) fds.push_back(connFd_);
    return fds;
}

void FakeBank::OnReadable(int fd) {
    if (fd == listenFd_) {
        int accepted = SocketIo::Accept(listenFd_);
        if (accepted < 0) return;
        SocketIo::CloseFd(&connFd_);
        connFd_ = accepted;
        transcript_.Note("host connected to the bank port " + std::to_string(port_));
        return;
    }
    std::string bytes;
    long n = SocketIo::ReadSome(connFd_, &bytes);
    if (n == -2) return;
    if (n <= 0) {
        SocketIo::CloseFd(&connFd_);
        transcript_.Note("host closed the bank connection");
        return;
    }
    transcript_.Record("host -> bank", "data", bytes);
    received_ += bytes;
}

void FakeBank::Send(const std::string& bytes) {
    if (connFd_ < 0) throw std::runtime_error("the host is not connected to the bank");
    SocketIo::WriteAll(connFd_, bytes);
    transcript_.Record("bank -> host", "data", bytes);
}

void FakeBank::CloseConnection() {
    if (connFd_ >= 0) transcript_.Note("bank closed the connection");
    SocketIo::CloseFd(&connFd_);
}

}  // namespace vpinpad
