#include <gtest/gtest.h>

#include <memory>

#include "transport/COMPort.h"
#include "transport/LinuxTransportSocket.h"
#include "transport/TransportCOM.h"
#include "transport/TransportFactory.h"

TEST(TransportFactory, MakesDefaultSerialAndSocketTransports) {
    std::unique_ptr<ITransport> serial(TransportFactory::getTransportCOM());
    ASSERT_NE(dynamic_cast<TransportCOM*>(serial.get()), nullptr);
    const auto* port = static_cast<ri::COMPort*>(serial->GetParams());
    EXPECT_EQ(port->GetPortName(), "");
    EXPECT_EQ(port->GetPortBaud(), 9600);
    EXPECT_EQ(port->GetPortData(), 8);
    EXPECT_EQ(port->GetPortParity(), 0);
    EXPECT_EQ(port->GetPortStop(), 0);
    EXPECT_EQ(port->GetPortTimeout(), -1);
    EXPECT_FALSE(port->IsOpen());

    std::unique_ptr<ITransport> socket(TransportFactory::getTransportSocket());
    EXPECT_NE(dynamic_cast<LinuxTransportSocket*>(socket.get()), nullptr);
}

TEST(TransportFactory, ChoosesByPortName) {
    std::unique_ptr<ITransport> relay(TransportFactory::ForPort("ETH"));
    EXPECT_NE(dynamic_cast<LinuxTransportSocket*>(relay.get()), nullptr);

    std::unique_ptr<ITransport> serial(TransportFactory::ForPort("/dev/ttyUSB0"));
    ASSERT_NE(dynamic_cast<TransportCOM*>(serial.get()), nullptr);
    EXPECT_EQ(static_cast<ri::COMPort*>(serial->GetParams())->GetPortName(), "/dev/ttyUSB0");

    EXPECT_EQ(TransportFactory::ForPort("COM10"), nullptr);
    EXPECT_EQ(TransportFactory::ForPort("eth"), nullptr);
    EXPECT_EQ(TransportFactory::ForPort(""), nullptr);
}

TEST(TransportFactory, SetsUpASerialLineFromItsSettings) {
    TransportFactory::SerialLine line;
    line.name = "/dev/ttyS1";
    line.baud = 115200;
    line.parity = 2;
    line.data = 7;
    line.stop = 2;
    line.timeoutMs = 250;
    const auto serial = TransportFactory::Serial(line);
    const ri::COMPort& port = serial->Port();
    EXPECT_EQ(port.GetPortName(), "/dev/ttyS1");
    EXPECT_EQ(port.GetPortBaud(), 115200);
    EXPECT_EQ(port.GetPortParity(), 2);
    EXPECT_EQ(port.GetPortData(), 7);
    EXPECT_EQ(port.GetPortStop(), 2);
    EXPECT_EQ(port.GetPortTimeout(), 250);
    EXPECT_FALSE(port.IsOpen());
}

TEST(TransportFactory, FillsAnIpv4AddressInNetworkOrder) {
    const auto relay = TransportFactory::Tcp("127.0.0.1", 7777);
    const sockaddr_in& address = relay->Parameters().address;
    EXPECT_EQ(address.sin_family, AF_INET);
    EXPECT_EQ(address.sin_port, htons(7777));
    EXPECT_EQ(address.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
    EXPECT_EQ(TransportFactory::KindOf("ETH"), TransportFactory::PortKind::kRelay);
    EXPECT_EQ(TransportFactory::KindOf("/dev/ttyUSB0"), TransportFactory::PortKind::kSerial);
    EXPECT_EQ(TransportFactory::KindOf("eth"), TransportFactory::PortKind::kNone);
}
