#pragma once

#include <string>

#include "Link.h"
#include "Transcript.h"

namespace vpinpad {

// Plays the TCP relay in front of the pinpad. Listens on a loopback port and takes one host
// connection at a time. When the host's first bytes are not a frame (0x01), they are the
// relay identifier: it is kept for the scenario, and one answer byte goes back (0x05 accepts;
// any other byte lets a test play a refusing relay). Frames follow as on a serial line.
class RelayListener : public Link {
public:
    RelayListener(Transcript& transcript, unsigned char answer)
        : transcript_(transcript), answer_(answer) {}
    ~RelayListener() override;

    // "ADDRESS:PORT", loopback only; throws std::runtime_error.
    void Listen(const std::string& endpoint);

    int PollFd() const override { return connFd_ >= 0 ? connFd_ : listenFd_; }
    bool OnReadable(std::string* inbound) override;
    bool Connected() const override { return connFd_ >= 0; }
    void Write(const std::string& bytes) override;
    void Close() override;
    void Reopen() override {}
    bool SeesHostClose() const override { return true; }
    std::string RelayId() const override { return relayId_; }
    std::string Name() const override { return std::to_string(port_); }

private:
    void AcceptHost();
    void AnswerIdentifier(std::string identifier);

    Transcript& transcript_;
    unsigned char answer_;
    int listenFd_ = -1;
    int connFd_ = -1;
    int port_ = 0;
    bool firstBytesSeen_ = false;
    std::string relayId_;
};

}  // namespace vpinpad
