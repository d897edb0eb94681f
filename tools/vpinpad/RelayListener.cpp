#include "RelayListener.h"

#include <stdexcept>

#include "SocketIo.h"

namespace vpinpad {

namespace {

constexpr int kIdentifierQuietMs = 100;
constexpr std::size_t kIdentifierMax = 256;
constexpr unsigned char kFrameStart = 0x01;

}  // namespace

RelayListener::~RelayListener() {
    SocketIo::CloseFd(&connFd_);
    SocketIo::CloseFd(&listenFd_);
}

void RelayListener::Listen(const std::string& endpoint) {
    std::size_t colon = endpoint.rfind(':');
    if (colon == std::string::npos)
        throw std::runtime_error("expected ADDRESS:PORT, got " + endpoint);
    int port = -1;
    try {
        port = std::stoi(endpoint.substr(colon + 1));
    } catch (const std::exception&) {
        port = -1;
    }
    if (port < 0 || port > 65535) throw std::runtime_error("bad port in " + endpoint);
    listenFd_ = SocketIo::ListenLoopback(endpoint.substr(0, colon), port);
    port_ = SocketIo::LocalPort(listenFd_);
}

void RelayListener::AcceptHost() {
    connFd_ = SocketIo::Accept(listenFd_);
    if (connFd_ < 0) return;
    firstBytesSeen_ = false;
    relayId_.clear();
    transcript_.Note("host connected to the relay port " + std::to_string(port_));
}

bool RelayListener::OnReadable(std::string* inbound) {
    if (connFd_ < 0) {
        AcceptHost();
        return true;
    }
    std::string bytes;
    long n = SocketIo::ReadSome(connFd_, &bytes);
    if (n == -2) return true;
    if (n <= 0) {
        SocketIo::CloseFd(&connFd_);
        transcript_.Note("host closed the connection");
        return false;
    }
    if (!firstBytesSeen_) {
        firstBytesSeen_ = true;
        if (static_cast<unsigned char>(bytes[0]) != kFrameStart) {
            AnswerIdentifier(bytes);
            return true;
        }
    }
    *inbound += bytes;
    return true;
}

// The host sends its identifier in one piece and then waits for the answer byte, so the
// identifier is complete once the line has been quiet for a moment.
void RelayListener::AnswerIdentifier(std::string identifier) {
    while (identifier.size() < kIdentifierMax &&
           SocketIo::WaitReadable(connFd_, kIdentifierQuietMs)) {
        if (SocketIo::ReadSome(connFd_, &identifier) <= 0) break;
    }
    relayId_ = identifier;
    transcript_.Record("host -> relay", "identifier", identifier);
    std::string answer(1, static_cast<char>(answer_));
    SocketIo::WriteAll(connFd_, answer);
    transcript_.Record("relay -> host", "identification answer", answer);
}

void RelayListener::Write(const std::string& bytes) {
    if (connFd_ < 0) throw std::runtime_error("no host is connected");
    SocketIo::WriteAll(connFd_, bytes);
}

void RelayListener::Close() {
    if (connFd_ >= 0) transcript_.Note("pinpad closed the connection");
    SocketIo::CloseFd(&connFd_);
}

}  // namespace vpinpad
