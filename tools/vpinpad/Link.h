#pragma once

#include <string>

namespace vpinpad {

// The pinpad's end of the line to the host: a TCP relay connection or a pseudo-terminal.
class Link {
public:
    virtual ~Link() = default;

    // Descriptor to poll for reading, or -1 when there is nothing to wait on.
    virtual int PollFd() const = 0;
    // Called when PollFd is readable: accepts a connection or appends the host's bytes
    // to *inbound. Returns false when the host has closed the line.
    virtual bool OnReadable(std::string* inbound) = 0;
    virtual bool Connected() const = 0;
    // Writes all bytes; throws std::runtime_error when the line refuses them.
    virtual void Write(const std::string& bytes) = 0;
    // The pinpad drops the line.
    virtual void Close() = 0;
    // Makes the line ready for the host to come again after Close.
    virtual void Reopen() = 0;
    // Whether the host closing its side can be seen (a pseudo-terminal cannot tell).
    virtual bool SeesHostClose() const = 0;
    // Identifier the host sent to the relay (empty when none).
    virtual std::string RelayId() const { return {}; }
    // What the port file announces: the port number or the device name.
    virtual std::string Name() const = 0;
};

}  // namespace vpinpad
