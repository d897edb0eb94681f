#pragma once

#include <chrono>
#include <string>

// A byte stream to the pinpad or to a host on its behalf: the same meaning over
// a serial line and over TCP. Transports move raw bytes only; framing,
// protocol time-outs and retries belong to their users.
class ITransport {
public:
    virtual ~ITransport() = default;

    // Opens the port or connects the socket: 0 on success, negative on failure.
    virtual int Connect() = 0;
    // Closes; always 0.
    virtual int Close() = 0;
    // Sends every byte of data: 0 when all went out, -1 otherwise.
    virtual int Send(const std::string& data) = 0;
    // Receives up to length bytes within the receive time-out; an empty string
    // means nothing arrived.
    virtual std::string Recive(int length) = 0;
    // Time-outs in milliseconds.
    virtual void SetTimeouts(unsigned int receive, unsigned int send) = 0;
    // Discards pending input and output; 0.
    virtual int Purge() = 0;
    // The transport's own parameter block, filled by the owner before Connect.
    virtual void* GetParams() = 0;
    // False once the other side has gone for good (a connection closed by
    // the peer, a line that hung up) and nothing received is left to hand
    // out: waiting on such a transport is pointless.
    virtual bool IsConnected() const { return true; }
    // The time its user is ready to wait: a receive waits for its first byte
    // no later than this, yet at least the receive time-out. Transports whose
    // every wait is bounded by the receive time-out alone keep to that.
    virtual void SetWaitDeadline(std::chrono::steady_clock::time_point) {}
};
