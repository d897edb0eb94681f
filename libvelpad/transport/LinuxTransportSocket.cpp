#include "transport/LinuxTransportSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "config/CardData.h"
#include "ri/Trace.h"
#include "transport/Poll.h"

LinuxTransportSocket::LinuxTransportSocket() : log_(ri::Trace::Get()) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        log_->Error("LinuxTransportSocket: %s", "socket fail");
    }
}

LinuxTransportSocket::~LinuxTransportSocket() {
    Close();
}

void LinuxTransportSocket::SetTimeouts(unsigned int receive, unsigned int send) {
    receiveTimeout_ = receive;
    sendTimeout_ = send;
}

int LinuxTransportSocket::Connect() {
    char address[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &params_.address.sin_addr, address, sizeof(address));
    log_->Info("SOCKET CONNECT: [%.15s] [%d]", address, ntohs(params_.address.sin_port));
    if (sendTimeout_ == 0) {
        sendTimeout_ = kDefaultTimeoutMs;
    }
    if (receiveTimeout_ == 0) {
        receiveTimeout_ = kDefaultTimeoutMs;
    }
    int result = 0;
    if (fd_ < 0) {
        errno = EBADF;
    }
    if (fd_ < 0 || !ConnectWithin(sendTimeout_)) {
        const int error = errno;
        Close();
        log_->Error("LinuxTransportSocket: Connect: connect fail: [%d]", error);
        result = -1;
    }
    log_->Info("SOCKET CONNECT RESULT: [%d]", result);
    return result;
}

// Connects without blocking past timeoutMs, so an unreachable peer cannot hold
// the caller. The socket stays non-blocking: every later send and receive
// waits for readiness with its own bound. On failure errno tells why.
bool LinuxTransportSocket::ConnectWithin(unsigned long timeoutMs) {
    const int flags = fcntl(fd_, F_GETFL);
    if (flags < 0 || fcntl(fd_, F_SETFL, flags | O_NONBLOCK) < 0) {
        return false;
    }
    const sockaddr* address = reinterpret_cast<const sockaddr*>(&params_.address);
    if (connect(fd_, address, sizeof(params_.address)) == 0) {
        return true;
    }
    return (errno == EINPROGRESS || errno == EINTR) && AwaitConnection(timeoutMs);
}

bool LinuxTransportSocket::AwaitConnection(unsigned long timeoutMs) {
    const int ready = transport::WaitReady(fd_, POLLOUT, static_cast<long>(timeoutMs));
    if (ready == 0) {
        errno = ETIMEDOUT;
    }
    if (ready <= 0) {
        return false;
    }
    int error = 0;
    socklen_t size = sizeof(error);
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        return false;
    }
    errno = error;
    return error == 0;
}

int LinuxTransportSocket::Send(const std::string& data) {
    if (fd_ < 0 || data.empty()) {
        return -1;
    }
    const unsigned long limit = sendTimeout_ > 0 ? sendTimeout_ : kDefaultTimeoutMs;
    const transport::Clock::time_point deadline = transport::DeadlineIn(static_cast<long>(limit));
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t count = send(fd_, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
        } else if (count < 0 &&
                   (errno == EINTR ||
                    (errno == EAGAIN &&
                     transport::WaitReady(fd_, POLLOUT, transport::RemainingMs(deadline)) > 0))) {
            continue;
        } else {
            log_->Error("LinuxTransportSocket: Send: send fail: [%d] [%zu/%zu]", errno, sent,
                        data.size());
            return -1;
        }
    }
    return 0;
}

// Hands out what has arrived, at most length bytes. One receive takes all the
// stream holds (up to a read-ahead block), so that reading a frame's start
// byte, length and payload costs one system call rather than three. Bytes
// kept from an earlier receive go out first, topped up without waiting with
// whatever has arrived since.
std::string LinuxTransportSocket::Recive(int length) {
    if (length <= 0 || (fd_ < 0 && pending_.Empty())) {
        log_->Error("LinuxTransportSocket: Recive: recv fail: [%d]", -1);
        return std::string();
    }
    const std::size_t wanted = static_cast<std::size_t>(length);
    if (pending_.Empty()) {
        if (!Fill(wanted, static_cast<long>(receiveTimeout_))) return std::string();
    } else if (pending_.Size() < wanted && fd_ >= 0) {
        Fill(wanted - pending_.Size(), 0);
    }
    std::string buffer = pending_.Take(wanted);
    // A large frame is rendered for the trace only when the line is written.
    if (log_->GetLogType() >= ri::Trace::LEVEL_DEBUG6)
        log_->Debug6("SOCKET RECV [%d]: %s", static_cast<int>(buffer.size()),
                     CardData::Stream(buffer).c_str());
    return buffer;
}

bool LinuxTransportSocket::Fill(std::size_t wanted, long timeoutMs) {
    if (transport::WaitReady(fd_, POLLIN, timeoutMs) <= 0) {
        if (timeoutMs > 0) log_->Debug6("SOCKET RECV: EMPTY");
        return false;
    }
    const std::size_t room = std::max(wanted, kReadAhead);
    char* const into = pending_.Reserve(room);
    ssize_t count = 0;
    do {
        count = recv(fd_, into, room, 0);
    } while (count < 0 && errno == EINTR);
    if (count <= 0) {
        log_->Error("LinuxTransportSocket: Recive: recv fail: [%d]", static_cast<int>(count));
        peerGone_ = count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        count = 0;
    }
    pending_.Commit(static_cast<std::size_t>(count));
    return count > 0;
}

int LinuxTransportSocket::Close() {
    pending_.Clear();
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    return 0;
}
