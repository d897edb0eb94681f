#pragma once

#include <string>
#include <vector>

#include "Transcript.h"

namespace vpinpad {

// The bank host that the pinpad reaches through the host's device channel ("DEVICEOPEN:",
// "CONNECT:", "WRITE:", "READ:"). It listens on a loopback port, takes one connection at a
// time (a new one replaces the old), collects what the host relays and answers scripted bytes.
class FakeBank {
public:
    explicit FakeBank(Transcript& transcript) : transcript_(transcript) {}
    ~FakeBank();

    void Listen();  // on 127.0.0.1, a free port; throws std::runtime_error
    int Port() const { return port_; }

    std::vector<int> PollFds() const;
    void OnReadable(int fd);

    bool Connected() const { return connFd_ >= 0; }
    // Bytes relayed by the host and not yet taken by a scenario step.
    std::string& Received() { return received_; }
    void Send(const std::string& bytes);  // throws std::runtime_error without a connection
    void CloseConnection();

private:
    Transcript& transcript_;
    int listenFd_ = -1;
    int connFd_ = -1;
    int port_ = 0;
    std::string received_;
};

}  // namespace vpinpad
