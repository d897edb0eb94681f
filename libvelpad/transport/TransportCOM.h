#pragma once

#include <string>

#include "transport/COMPort.h"
#include "transport/ITransport.h"

// The pinpad link over a serial line. GetParams gives the ri::COMPort to
// configure (name, baud, data bits, parity, stop bits, time-out) before Connect.
class TransportCOM : public ITransport {
public:
    TransportCOM() = default;
    ~TransportCOM() override;

    int Connect() override;
    int Close() override;
    // Discards unread input first, then writes the whole string.
    int Send(const std::string& data) override;
    // Waits for the port time-out once bytes arrive; raises ri::Exception
    // "COM port Receive fail: [%d]" when the line fails.
    std::string Recive(int length) override;
    // The receive time-out becomes the port time-out; send has no time-out.
    void SetTimeouts(unsigned int receive, unsigned int send) override;
    int Purge() override;
    void* GetParams() override { return &port_; }
    // The port to configure before Connect.
    ri::COMPort& Port() { return port_; }
    bool IsConnected() const override { return !lineFailed_; }
    void SetWaitDeadline(std::chrono::steady_clock::time_point deadline) override {
        port_.SetFirstByteDeadline(deadline);
    }

private:
    ri::COMPort port_;
    // The line failed on a receive (hung up); cleared by the next Connect.
    bool lineFailed_ = false;
};
