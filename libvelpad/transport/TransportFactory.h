#pragma once

#include <netinet/in.h>

#include <memory>
#include <string>

#include "transport/ITransport.h"
#include "transport/LinuxTransportSocket.h"
#include "transport/TransportCOM.h"

// Creates transports. The caller owns the object and deletes it through
// ITransport's virtual destructor.
class TransportFactory {
public:
    // What a "PORT" setting names.
    enum class PortKind {
        kRelay,   // "ETH": a TCP connection to the relay service
        kSerial,  // a serial device name (ri::COMPort::IsCorrectName)
        kNone,    // anything else
    };

    // The settings of a serial line.
    struct SerialLine {
        std::string name;
        long baud = 0;
        int parity = 0;
        int data = 0;
        int stop = ri::COMPort::STOP_ONE;  // ri::COMPort::StopBits
        long timeoutMs = 0;
        long sendPauseMs = 50;  // the pause before each send
    };

    static PortKind KindOf(const std::string& port);
    // A serial transport with a default ri::COMPort.
    static ITransport* getTransportCOM();
    // A TCP client transport with its socket already made.
    static ITransport* getTransportSocket();
    // A serial transport set up for the line, not yet opened.
    static std::unique_ptr<TransportCOM> Serial(const SerialLine& line);
    // A TCP client transport for an IPv4 address and port, not yet connected.
    static std::unique_ptr<LinuxTransportSocket> Tcp(const std::string& address, long port);
    // The socket address of a dotted IPv4 address and a port.
    static sockaddr_in Ipv4(const std::string& address, long port);
    // The transport for a "PORT" setting: "ETH" gives a TCP client; a serial
    // device name gives a serial transport with that name set; any other
    // name gives nullptr.
    static ITransport* ForPort(const std::string& port);
};
