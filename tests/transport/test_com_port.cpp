#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "TestSupport.h"
#include "ri/INI.h"
#include "transport/COMPort.h"

using ri::COMPort;
using transport_test::ElapsedMs;
using transport_test::PtyPair;
using transport_test::Watchdog;

namespace {

// Opens a port on the slave side of pty with default settings.
void OpenOn(COMPort& port, const PtyPair& pty) {
    port.SetPortName(pty.SlaveName());
    ASSERT_EQ(port.OpenPort(), COMPort::OPEN_OK);
}

termios SettingsOf(const std::string& device) {
    termios settings{};
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(tcgetattr(fd, &settings), 0);
    close(fd);
    return settings;
}

}  // namespace

TEST(COMPortName, AcceptsSerialDeviceNamesOnly) {
    EXPECT_TRUE(COMPort::IsCorrectName("COM1"));
    EXPECT_FALSE(COMPort::IsCorrectName("COM10"));
    EXPECT_TRUE(COMPort::IsCorrectName("\\\\.\\COM10"));
    EXPECT_TRUE(COMPort::IsCorrectName("//./COM3"));
    EXPECT_TRUE(COMPort::IsCorrectName("/dev/ttyUSB0"));
    EXPECT_FALSE(COMPort::IsCorrectName("/dev/tt"));
    EXPECT_FALSE(COMPort::IsCorrectName("ttyS0"));
    EXPECT_FALSE(COMPort::IsCorrectName("ETH"));
    EXPECT_FALSE(COMPort::IsCorrectName(""));
}

TEST(COMPortSetUp, ReadsPortFromSectionAndLineFromMainSection) {
    char directory[] = "/tmp/velpad-comport-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string path = std::string(directory) + "/port.ini";
    std::ofstream(path) << "[Settings]\nBaud=19200\nData=7\nStop=1\nParity=2\n"
                           "[Pinpad]\nPort=/dev/ttyUSB3\n";
    ri::INI ini(path);
    COMPort port;
    EXPECT_EQ(port.SetUp(nullptr, "Pinpad"), -1);
    EXPECT_EQ(port.SetUp(&ini, "Printer"), -1);
    EXPECT_EQ(port.SetUp(&ini, "Pinpad"), 0);
    EXPECT_EQ(port.GetPortName(), "/dev/ttyUSB3");
    EXPECT_EQ(port.GetPortBaud(), 19200);
    EXPECT_EQ(port.GetPortData(), 7);
    EXPECT_EQ(port.GetPortStop(), COMPort::STOP_TWO);
    EXPECT_EQ(port.GetPortParity(), COMPort::PARITY_ODD);
    std::remove(path.c_str());
    rmdir(directory);
}

TEST(COMPortOpen, RejectsUnsupportedSettingsAndStaysClosed) {
    PtyPair pty;
    struct Case {
        long baud;
        int data;
        int parity;
        int stop;
        int expected;
    };
    const Case cases[] = {{14400, 8, 0, 0, COMPort::OPEN_BAUD},
                          {9600, 9, 0, 0, COMPort::OPEN_DATA},
                          {9600, 8, 3, 0, COMPort::OPEN_PARITY},
                          {9600, 8, 0, 2, COMPort::OPEN_STOP}};
    for (const Case& c : cases) {
        COMPort port;
        port.SetPortName(pty.SlaveName());
        port.SetPortBaud(c.baud);
        port.SetPortData(c.data);
        port.SetPortParity(c.parity);
        port.SetPortStop(c.stop);
        EXPECT_EQ(port.OpenPort(), c.expected) << "baud " << c.baud << " data " << c.data;
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST(COMPortOpen, FailsWithoutNameOrDevice) {
    COMPort unnamed;
    EXPECT_EQ(unnamed.OpenPort(), COMPort::OPEN_FAILED);
    COMPort missing;
    missing.SetPortName("/dev/ttyvelpad-missing");
    EXPECT_EQ(missing.OpenPort(), COMPort::OPEN_FAILED);
    EXPECT_FALSE(missing.IsOpen());
    int error = 0;
    EXPECT_EQ(missing.Receive(4, 100, &error), "");
    EXPECT_EQ(error, -1);
    EXPECT_EQ(missing.Send("x"), -1);
}

// A pseudo-terminal keeps speed and stop bits but always carries eight data
// bits without parity, so those two settings are checked by their open codes
// above only.
TEST(COMPortOpen, AppliesLineSettingsInRawMode) {
    PtyPair pty;
    COMPort port;
    port.SetPortName(pty.SlaveName());
    port.SetPortBaud(19200);
    port.SetPortStop(COMPort::STOP_TWO);
    ASSERT_EQ(port.OpenPort(), COMPort::OPEN_OK);

    const termios settings = SettingsOf(pty.SlaveName());
    EXPECT_EQ(cfgetispeed(&settings), static_cast<speed_t>(B19200));
    EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B19200));
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_TRUE(settings.c_cflag & CSTOPB);
    EXPECT_TRUE(settings.c_cflag & CLOCAL);
    EXPECT_FALSE(settings.c_cflag & CRTSCTS);
    EXPECT_EQ(settings.c_iflag, static_cast<tcflag_t>(IGNPAR));
    EXPECT_FALSE(settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
    EXPECT_EQ(settings.c_oflag, 0u);
    EXPECT_EQ(settings.c_cc[VMIN], 1);

    // The configured numbers stay, so the same port opens again as it was.
    EXPECT_EQ(port.GetPortBaud(), 19200);
    EXPECT_EQ(port.GetPortStop(), COMPort::STOP_TWO);
    port.ClosePort();
    EXPECT_EQ(port.OpenPort(), COMPort::OPEN_OK);
}

TEST(COMPortTransfer, SendsAndReceivesBinaryBytes) {
    PtyPair pty;
    COMPort port;
    OpenOn(port, pty);
    const std::string frame("\x01\x00\x05PING\x1b", 8);
    std::size_t sent = 0;
    EXPECT_EQ(port.Send(frame.data(), frame.size(), &sent), 0);
    EXPECT_EQ(sent, frame.size());
    EXPECT_EQ(pty.Read(frame.size(), 5000), frame);

    pty.Write(std::string("OK\x00\xff", 4));
    int error = 1;
    EXPECT_EQ(port.Receive(4, 1000, &error), std::string("OK\x00\xff", 4));
    EXPECT_EQ(error, 0);
}

TEST(COMPortTransfer, RefusesOversizedRequestAtOnce) {
    PtyPair pty;
    COMPort port;
    OpenOn(port, pty);
    pty.Write("data");
    int error = 1;
    EXPECT_EQ(port.Receive(COMPort::kMaxReceive + 1, 1000, &error), "");
    EXPECT_EQ(error, 0);
    EXPECT_EQ(port.Receive(4, 1000, &error), "data");
}

TEST(COMPortTransfer, ZeroTimeoutStillTakesWaitingBytes) {
    PtyPair pty;
    COMPort port;
    OpenOn(port, pty);
    pty.Write("abc");
    EXPECT_EQ(port.Receive(10, 0, nullptr), "abc");
}

TEST(COMPortTimeout, StalledLineEndsReceiveAtItsDeadline) {
    PtyPair pty;
    COMPort port;
    OpenOn(port, pty);
    pty.Write("ab");
    std::string data;
    long spent = 0;
    {
        // Without a bound on each read the receive would wait for more bytes
        // for ever; the watchdog feeds some late so a failure shows as time.
        Watchdog unstick(10000, [&pty] { pty.Write("zzzzzzzz"); });
        spent = ElapsedMs([&] { data = port.Receive(8, 300, nullptr); });
    }
    EXPECT_EQ(data, "ab");
    EXPECT_GE(spent, 250);
    EXPECT_LT(spent, 5000);
}

TEST(COMPortTimeout, TrickleIsCutAtTheDeadline) {
    PtyPair pty;
    COMPort port;
    OpenOn(port, pty);
    std::thread feeder([&pty] {
        for (int i = 0; i < 30; ++i) {
            pty.Write("x");
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    std::string data;
    const long spent = ElapsedMs([&] { data = port.Receive(100, 400, nullptr); });
    feeder.join();
    EXPECT_FALSE(data.empty());
    EXPECT_LT(data.size(), 30u);
    EXPECT_LT(spent, 2500);
}

TEST(COMPortPurge, DiscardsUnreadInput) {
    PtyPair pty;
    COMPort port;
    OpenOn(port, pty);
    pty.Write("stale bytes");
    EXPECT_EQ(port.Purge(), 0);
    pty.Write("N");
    EXPECT_EQ(port.Receive(1, 1000, nullptr), "N");
}

TEST(COMPortFailure, HangUpIsReportedAsError) {
    PtyPair pty;
    COMPort port;
    OpenOn(port, pty);
    pty.CloseMaster();
    int error = 0;
    std::string data;
    const long spent = ElapsedMs([&] { data = port.Receive(4, 1000, &error); });
    EXPECT_EQ(data, "");
    EXPECT_EQ(error, -1);
    EXPECT_LT(spent, 5000);
}

// Unread bytes waiting on the line of device, seen from another descriptor.
int PendingInput(const std::string& device) {
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int pending = -1;
    ioctl(fd, TIOCINQ, &pending);
    close(fd);
    return pending;
}

// Each session's port receives into its own memory: a reception on one port
// that completes while another is still collecting leaves the other's bytes
// untouched.
TEST(COMPortConcurrency, OverlappingReceptionsKeepTheirOwnData) {
    PtyPair ptyA;
    PtyPair ptyB;
    COMPort portA;
    COMPort portB;
    OpenOn(portA, ptyA);
    OpenOn(portB, ptyB);

    ptyA.Write("AAAA");
    std::string dataA;
    std::thread sessionA([&] { dataA = portA.Receive(8, 10000, nullptr); });
    // Session A has taken its first half once its line holds nothing unread.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (PendingInput(ptyA.SlaveName()) != 0 && std::chrono::steady_clock::now() < limit) {
        std::this_thread::yield();
    }
    ptyB.Write("BBBBBBBB");
    EXPECT_EQ(portB.Receive(8, 1000, nullptr), "BBBBBBBB");
    ptyA.Write("aaaa");
    sessionA.join();
    EXPECT_EQ(dataA, "AAAAaaaa");
}
