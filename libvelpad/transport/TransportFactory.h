#pragma once

#include <string>

#include "transport/ITransport.h"

// Creates transports. The caller owns the object and deletes it through
// ITransport's virtual destructor.
class TransportFactory {
public:
    // A serial transport with a default ri::COMPort.
    static ITransport* getTransportCOM();
    // A TCP client transport with its socket already made.
    static ITransport* getTransportSocket();
    // The transport for a "PORT" setting: "ETH" gives a TCP client; a serial
    // device name (ri::COMPort::IsCorrectName) gives a serial transport with
    // that name set; any other name gives nullptr.
    static ITransport* ForPort(const std::string& port);
};
