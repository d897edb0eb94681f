#pragma once

#include <netinet/in.h>

#include <string>

#include "transport/ITransport.h"
#include "transport/ReceiveBuffer.h"

namespace ri {
class Trace;
}

// A TCP client connection: the pinpad link through the relay service, or a
// device channel to the bank host. The socket is made in the constructor, so
// one object connects once; its address is filled through GetParams.
class LinuxTransportSocket : public ITransport {
public:
    // The parameter block returned by GetParams. The two time-out words are
    // kept for the owner; the transport itself follows SetTimeouts.
    struct Params {
        sockaddr_in address;
        unsigned int receiveTimeout;
        unsigned int sendTimeout;
    };

    // Time-out used when none was set, in milliseconds.
    static constexpr unsigned long kDefaultTimeoutMs = 30000;

    LinuxTransportSocket();
    ~LinuxTransportSocket() override;
    LinuxTransportSocket(const LinuxTransportSocket&) = delete;
    LinuxTransportSocket& operator=(const LinuxTransportSocket&) = delete;

    // Connects to the address in the parameter block within the send time-out;
    // 0 or -1. A failed connect closes the socket.
    int Connect() override;
    int Close() override;
    // Sends every byte within the send time-out; 0 when all went out, else -1.
    // A peer that has gone away gives -1, never a signal.
    int Send(const std::string& data) override;
    // Returns bytes already received, or waits up to the receive time-out for
    // more and returns what one receive yields (at most length bytes); empty
    // on time-out, error or a closed peer.
    std::string Recive(int length) override;
    void SetTimeouts(unsigned int receive, unsigned int send) override;
    // Nothing to discard on a stream socket; 0.
    int Purge() override { return 0; }
    void* GetParams() override { return &params_; }
    // The parameter block to fill before Connect.
    Params& Parameters() { return params_; }
    bool IsConnected() const override { return !peerGone_ || !pending_.Empty(); }

private:
    bool ConnectWithin(unsigned long timeoutMs);
    // Waits up to timeoutMs for the stream and appends what it holds to
    // pending_; false when nothing came.
    bool Fill(std::size_t wanted, long timeoutMs);

    // The most one receive takes beyond what the caller asked for.
    static constexpr std::size_t kReadAhead = 4096;
    bool AwaitConnection(unsigned long timeoutMs);

    ri::Trace* log_;
    Params params_{};
    int fd_ = -1;
    unsigned long receiveTimeout_ = 0;
    unsigned long sendTimeout_ = 0;
    // Bytes received but not yet handed out.
    transport::ReceiveBuffer pending_;
    // The peer closed the connection or reset it.
    bool peerGone_ = false;
};
