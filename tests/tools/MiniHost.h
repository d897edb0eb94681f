#pragma once

#include <string>

// A very small host side of the pinpad link, written for these tests only: it connects to
// the relay port (or opens the serial device), sends frames and reads them back.
class MiniHost {
public:
    ~MiniHost();

    bool ConnectTcp(int port);
    bool OpenSerial(const std::string& device);

    void SendRaw(const std::string& bytes);
    void SendFrame(const std::string& payload);
    // Next frame's payload; "<none>" when nothing whole arrives within the time.
    std::string ReadFrame(int waitMs = 5000);
    // Every byte until the peer closes or `waitMs` passes in silence.
    std::string ReadRaw(std::size_t count, int waitMs = 5000);
    void Close();

private:
    int fd_ = -1;
};
