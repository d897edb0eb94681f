#pragma once

#include <string>

#include "Link.h"
#include "Transcript.h"

namespace vpinpad {

// Plays a pinpad on a serial line: opens a pseudo-terminal pair and links a device name
// (such as /dev/ttyVPAD0) to its slave side, so the host opens it as a serial port. The
// emulator keeps its own descriptor on the slave, in raw mode, so that the line stays up
// while the host opens and closes it. The link is removed on Close and on destruction.
class PtyLink : public Link {
public:
    PtyLink(Transcript& transcript, std::string linkPath)
        : transcript_(transcript), linkPath_(std::move(linkPath)) {}
    ~PtyLink() override;

    // Opens the pair and creates the link; throws std::runtime_error (an existing file other
    // than a stale link to a pseudo-terminal is never replaced).
    void Open();

    int PollFd() const override { return masterFd_; }
    bool OnReadable(std::string* inbound) override;
    bool Connected() const override { return masterFd_ >= 0; }
    void Write(const std::string& bytes) override;
    void Close() override;
    void Reopen() override { Open(); }
    bool SeesHostClose() const override { return false; }
    std::string Name() const override { return linkPath_; }

private:
    void CreateLink();
    void RemoveLink();

    Transcript& transcript_;
    std::string linkPath_;
    std::string slavePath_;
    int masterFd_ = -1;
    int slaveFd_ = -1;
};

}  // namespace vpinpad
