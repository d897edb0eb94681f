#include "engine/BankChannel.h"

#include "transport/LinuxTransportSocket.h"
#include "transport/TransportFactory.h"

bool BankChannel::Open(unsigned timeoutMs) {
    // A channel still held is closed before the new one is made, so that its
    // connection to the host does not linger.
    Release();
    transport_.reset(TransportFactory::getTransportSocket());
    if (!transport_) return false;
    SetTimeouts(timeoutMs);
    return true;
}

void BankChannel::Close() {
    if (transport_) transport_->Close();
}

void BankChannel::Release() {
    Close();
    transport_.reset();
}

bool BankChannel::Connect(const sockaddr_in& host) {
    if (!transport_) return false;
    static_cast<LinuxTransportSocket::Params*>(transport_->GetParams())->address = host;
    return transport_->Connect() >= 0;
}

void BankChannel::SetTimeouts(unsigned timeoutMs) {
    if (transport_) transport_->SetTimeouts(timeoutMs, timeoutMs);
}

int BankChannel::Send(const std::string& data) {
    return transport_ ? transport_->Send(data) : -1;
}

std::string BankChannel::Receive(int length) {
    return transport_ ? transport_->Recive(length) : std::string();
}
