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
