#ifndef VELPAD_ENGINE_BANKCHANNEL_H
#define VELPAD_ENGINE_BANKCHANNEL_H

#include <netinet/in.h>

#include <memory>
#include <string>

#include "transport/ITransport.h"

// The channel to the bank host that the pinpad opens through the register:
// at most one TCP connection, held from "OPEN:" until "CLOSE:", the pinpad
// link being opened anew, or the end of the engine.
class BankChannel {
public:
    BankChannel() = default;
    ~BankChannel() { Close(); }
    BankChannel(const BankChannel&) = delete;
    BankChannel& operator=(const BankChannel&) = delete;

    // Closes and drops a channel still held, then makes a new TCP channel
    // with the given send and receive time-outs; false when none was made.
    bool Open(unsigned timeoutMs);
    // Puts a ready transport in place of the channel held (tests and fuzz
    // targets relay to a fake host); the channel takes ownership.
    void Attach(ITransport* transport) { transport_.reset(transport); }
    // Drops the channel held without a word to the host.
    void Drop() { transport_.reset(); }
    // Closes the connection to the host; the channel stays held.
    void Close();
    // Closes the connection and drops the channel.
    void Release();

    bool Held() const { return transport_ != nullptr; }
    ITransport* Transport() const { return transport_.get(); }

    // Connects the channel held to the host; false when none is held or the
    // connect failed.
    bool Connect(const sockaddr_in& host);
    void SetTimeouts(unsigned timeoutMs);
    // Sends the bytes unchanged: 0 when all went, otherwise what the
    // transport reported (-1 when no channel is held).
    int Send(const std::string& data);
    // At most length bytes of the host's answer; empty when none came.
    std::string Receive(int length);

private:
    std::unique_ptr<ITransport> transport_;
};

#endif
