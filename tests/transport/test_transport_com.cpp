#include <gtest/gtest.h>

#include "TestSupport.h"
#include "ri/Exception.h"
#include "transport/COMPort.h"
#include "transport/TransportCOM.h"

using transport_test::PtyPair;

namespace {

ri::COMPort& PortOf(TransportCOM& transport) {
    return *static_cast<ri::COMPort*>(transport.GetParams());
}

}  // namespace

TEST(TransportCOM, ConnectReportsTheOpenResult) {
    PtyPair pty;
    TransportCOM transport;
    PortOf(transport).SetPortName(pty.SlaveName());
    PortOf(transport).SetPortBaud(14400);
    EXPECT_EQ(transport.Connect(), ri::COMPort::OPEN_BAUD);
    PortOf(transport).SetPortBaud(115200);
    EXPECT_EQ(transport.Connect(), 0);
    EXPECT_TRUE(PortOf(transport).IsOpen());
    EXPECT_EQ(transport.Close(), 0);
    EXPECT_FALSE(PortOf(transport).IsOpen());
}

TEST(TransportCOM, SendDiscardsUnreadInputFirst) {
    PtyPair pty;
    TransportCOM transport;
    PortOf(transport).SetPortName(pty.SlaveName());
    ASSERT_EQ(transport.Connect(), 0);
    transport.SetTimeouts(500, 0);
    EXPECT_EQ(PortOf(transport).GetPortTimeout(), 500);

    pty.Write("left over");
    EXPECT_EQ(transport.Send("REQ"), 0);
    EXPECT_EQ(pty.Read(3, 5000), "REQ");
    pty.Write("ANS");
    EXPECT_EQ(transport.Recive(3), "ANS");
}

TEST(TransportCOM, LineFailureRaisesReceiveFail) {
    PtyPair pty;
    TransportCOM transport;
    PortOf(transport).SetPortName(pty.SlaveName());
    ASSERT_EQ(transport.Connect(), 0);
    EXPECT_TRUE(transport.IsConnected());
    pty.CloseMaster();
    try {
        transport.Recive(1);
        FAIL() << "a hung-up line must raise";
    } catch (const ri::Exception& error) {
        EXPECT_STREQ(error.What(), "COM port Receive fail: [-1]");
    }
    EXPECT_FALSE(transport.IsConnected());
}

TEST(TransportCOM, NonPositiveLengthReceivesNothing) {
    PtyPair pty;
    TransportCOM transport;
    PortOf(transport).SetPortName(pty.SlaveName());
    ASSERT_EQ(transport.Connect(), 0);
    pty.Write("x");
    EXPECT_EQ(transport.Recive(0), "");
    EXPECT_EQ(transport.Recive(-5), "");
    EXPECT_EQ(transport.Recive(1), "x");
}
