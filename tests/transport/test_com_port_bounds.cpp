// The serial line held by one program at a time, and a silent line that
// holds a reception no longer than its user's deadline allows.
#include <gtest/gtest.h>

#include <chrono>

#include "TestSupport.h"
#include "transport/COMPort.h"

using ri::COMPort;
using transport_test::ElapsedMs;
using transport_test::PtyPair;

TEST(COMPortExclusive, SecondOpenOfTheLineIsRefusedUntilTheFirstCloses) {
    PtyPair pty;
    COMPort first;
    first.SetPortName(pty.SlaveName());
    ASSERT_EQ(first.OpenPort(), COMPort::OPEN_OK);
    COMPort second;
    second.SetPortName(pty.SlaveName());
    EXPECT_EQ(second.OpenPort(), COMPort::OPEN_BUSY);
    EXPECT_FALSE(second.IsOpen());
    first.ClosePort();
    EXPECT_EQ(second.OpenPort(), COMPort::OPEN_OK);
}

TEST(COMPortFirstByte, SilentLineWaitsUntilTheDeadlineNotTenSeconds) {
    PtyPair pty;
    COMPort port;
    port.SetPortName(pty.SlaveName());
    ASSERT_EQ(port.OpenPort(), COMPort::OPEN_OK);
    port.SetFirstByteDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(400));
    const long spent = ElapsedMs([&] { EXPECT_EQ(port.Receive(1, 100, nullptr), ""); });
    EXPECT_GE(spent, 350);
    EXPECT_LT(spent, 5000);
    // Past the deadline a reception still waits its own time-out.
    const long late = ElapsedMs([&] { EXPECT_EQ(port.Receive(1, 300, nullptr), ""); });
    EXPECT_GE(late, 250);
    EXPECT_LT(late, 5000);
}
