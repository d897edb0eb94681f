#include "transport/TransportFactory.h"

#include <arpa/inet.h>

#include "transport/COMPort.h"

TransportFactory::PortKind TransportFactory::KindOf(const std::string& port) {
    if (port == "ETH") return PortKind::kRelay;
    return ri::COMPort::IsCorrectName(port) ? PortKind::kSerial : PortKind::kNone;
}

ITransport* TransportFactory::getTransportCOM() {
    return new TransportCOM();
}

ITransport* TransportFactory::getTransportSocket() {
    return new LinuxTransportSocket();
}

std::unique_ptr<TransportCOM> TransportFactory::Serial(const SerialLine& line) {
    auto transport = std::make_unique<TransportCOM>();
    ri::COMPort& port = transport->Port();
    port.SetPortName(line.name);
    port.SetPortBaud(line.baud);
    port.SetPortParity(line.parity);
    port.SetPortData(line.data);
    port.SetPortTimeout(line.timeoutMs);
    port.SetPortStop(line.stop);
    port.SetSendPause(line.sendPauseMs);
    return transport;
}

std::unique_ptr<LinuxTransportSocket> TransportFactory::Tcp(const std::string& address, long port) {
    auto transport = std::make_unique<LinuxTransportSocket>();
    transport->Parameters().address = Ipv4(address, port);
    return transport;
}

sockaddr_in TransportFactory::Ipv4(const std::string& address, long port) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(static_cast<uint16_t>(port));
    socketAddress.sin_addr.s_addr = inet_addr(address.c_str());
    return socketAddress;
}

ITransport* TransportFactory::ForPort(const std::string& port) {
    switch (KindOf(port)) {
        case PortKind::kRelay:
            return getTransportSocket();
        case PortKind::kSerial: {
            auto transport = std::make_unique<TransportCOM>();
            transport->Port().SetPortName(port);
            return transport.release();
        }
        case PortKind::kNone:
            break;
    }
    return nullptr;
}
