#ifndef VELPAD_FUZZ_FUZZENGINE_H
#define VELPAD_FUZZ_FUZZENGINE_H

#include <cstddef>
#include <string>

#include "config/Tags.h"
#include "engine/FakeTransport.h"
#include "engine/PPAD.h"
#include "transport/LinuxTransportSocket.h"

// A bank channel that never leaves the process: it takes the socket
// parameters a "CONNECT:" fills in, "connects" without a network, swallows
// what is written and reads as silence.
class FakeChannel : public FakeTransport {
public:
    void* GetParams() override { return &params_; }

private:
    LinuxTransportSocket::Params params_{};
};

// An engine for one fuzz input, in the sandbox, with short time-outs: its
// pinpad link is a fake one that hangs up once the input is used up, its bank
// channel is already open and fake, and the caller's dialog and screen tables
// answer from the answer bytes (menu choices, yes/no, keys), cycling through
// them and giving up once a few dozen answers were read.
class FuzzEngine {
public:
    FuzzEngine(Tags* tags, const std::string& answers);

    FakeTransport& Link() { return *link_; }
    PinpadSession& Session() { return engine_.Session(); }
    // Serves one request. A "DEVICEOPEN:" makes a real socket channel; it is
    // swapped for a fake one at once, so that no "CONNECT:" ever reaches the
    // network.
    void Serve(const std::string& payload);

private:
    PPAD engine_;
    FakeTransport* link_;
};

// Makes the sandbox and its "cashreg.ini" on first use.
void PrepareEngineSandbox();

#endif
