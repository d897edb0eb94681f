#include "transport/TransportFactory.h"

#include "transport/COMPort.h"
#include "transport/LinuxTransportSocket.h"
#include "transport/TransportCOM.h"

ITransport* TransportFactory::getTransportCOM() {
    return new TransportCOM();
}

ITransport* TransportFactory::getTransportSocket() {
    return new LinuxTransportSocket();
}

ITransport* TransportFactory::ForPort(const std::string& port) {
    if (port == "ETH") {
        return getTransportSocket();
    }
    if (!ri::COMPort::IsCorrectName(port)) {
        return nullptr;
    }
    ITransport* transport = getTransportCOM();
    static_cast<ri::COMPort*>(transport->GetParams())->SetPortName(port);
    return transport;
}
