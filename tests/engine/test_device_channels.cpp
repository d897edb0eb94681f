// Channels to the bank host: a loopback TCP listener in the test plays the
// bank, the engine relays the pinpad's "WRITE:" and "READ:" bytes to it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "EngineFixture.h"
#include "support/Loopback.h"

namespace {

// A bank host on 127.0.0.1 at a port the system chose; one client at a time.
class BankHost {
public:
    BankHost() { listener_ = ListenOnLoopback(4, &port_); }
    ~BankHost() {
        if (client_ >= 0) close(client_);
        if (listener_ >= 0) close(listener_);
    }

    int Port() const { return port_; }
    // Stops listening, so that the port refuses connections.
    void StopListening() {
        close(listener_);
        listener_ = -1;
    }
    bool Accept() {
        client_ = Ready(listener_) ? accept(listener_, nullptr, nullptr) : -1;
        return client_ >= 0;
    }
    void Answer(const std::string& bytes) { send(client_, bytes.data(), bytes.size(), 0); }
    // Reads until count bytes came, the engine closed the channel, or 5 s passed.
    std::string Read(size_t count) {
        std::string data;
        char buffer[4096];
        while (data.size() < count && Ready(client_)) {
            const ssize_t got = recv(client_, buffer, sizeof(buffer), 0);
            if (got <= 0) break;
            data.append(buffer, static_cast<size_t>(got));
        }
        return data;
    }
    // True when the engine has closed its end of the connection.
    bool SeesClose() {
        char byte;
        return Ready(client_) && recv(client_, &byte, 1, 0) == 0;
    }

private:
    static bool Ready(int fd) { return WaitReadable(fd, 5000); }

    int listener_ = -1;
    int client_ = -1;
    int port_ = 0;
};

// Status and information texts the engine showed.
std::vector<std::string> shown;
int Show(const char* text, int) {
    shown.emplace_back(text);
    return 0;
}

class DeviceChannelTest : public EngineFixture {
protected:
    void SetUp() override {
        shown.clear();
        table_[5] = reinterpret_cast<void*>(&Show);
        table_[6] = reinterpret_cast<void*>(&Show);
    }

    // Sends one pinpad command and returns the engine's reply.
    std::string Ask(const std::string& command) {
        Engine().Dialogs().SetDialogs(table_, nullptr);
        const size_t before = link->sent.size();
        Engine().ProcessCommand(command);
        return link->sent.size() > before ? Sent().back() : "<none>";
    }

    std::string ConnectTo(const BankHost& bank, const std::string& address = "127.0.0.1") {
        return Ask("CONNECT:2:" + address + ":" + std::to_string(bank.Port()));
    }

    void* table_[8] = {};
};

TEST_F(DeviceChannelTest, OpenAnswersTheChannelNumberOfEachKind) {
    EXPECT_EQ(Ask("DEVICEOPEN:PRINTER"), "OK");
    EXPECT_EQ(Ask("WRITE:2:x"), "ER");  // a printer opens no channel
    EXPECT_EQ(Ask("DEVICEOPEN:SOCKET"), "OK:2");
    EXPECT_EQ(Ask("DEVICEOPEN:COM"), "OK:3");
    EXPECT_EQ(Ask("DEVICEOPEN:MODEM"), "OK:4");
    EXPECT_EQ(Ask("DEVICEOPEN:USB"), "ER");
}

TEST_F(DeviceChannelTest, RelaysBinaryBytesBothWaysUnchanged) {
    Ini("INFO_DIALOG=1\n");
    BankHost bank;
    const std::string request(
        "\x00\x01\x1b"
        "req\x00\xff",
        8);
    const std::string answer(
        "\xff\x00\x1b"
        "ans\x00\x01\x02",
        9);
    EXPECT_EQ(Ask("DEVICEOPEN:SOCKET"), "OK:2");
    EXPECT_EQ(Ask("IOCTL:2:300:500"), "OK");
    EXPECT_EQ(ConnectTo(bank, "127.000.000.001"), "OK");
    ASSERT_TRUE(bank.Accept());
    EXPECT_EQ(Ask("WRITE:2:" + request), "OK");
    EXPECT_EQ(bank.Read(request.size()), request);
    bank.Answer(answer);
    EXPECT_EQ(Ask("READ:2:1024"), "2:" + answer);
    EXPECT_EQ(Ask("DISCONNECT:2"), "OK");
    EXPECT_TRUE(bank.SeesClose());
    EXPECT_EQ(Ask("DEVICECLOSE:2"), "OK");
    EXPECT_EQ(Ask("READ:2:10"), "ER");
    // "посылка запроса", "запрос отправлен", "ожидание ответа", "ответ получен"
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "41|Connect", "\xEF\xEE\xF1\xFB\xEB\xEA\xE0 \xE7\xE0\xEF\xF0\xEE\xF1\xE0",
                         "\xE7\xE0\xEF\xF0\xEE\xF1 \xEE\xF2\xEF\xF0\xE0\xE2\xEB\xE5\xED",
                         "\xEE\xE6\xE8\xE4\xE0\xED\xE8\xE5 \xEE\xF2\xE2\xE5\xF2\xE0",
                         "\xEE\xF2\xE2\xE5\xF2 \xEF\xEE\xEB\xF3\xF7\xE5\xED", "42|Disconnect"}));
}

// The time-out is ten times the larger of the two times, set on channel 2
// only; a read that times out answers the bare channel number.
TEST_F(DeviceChannelTest, ReadThatTimesOutAnswersTheBareChannelNumber) {
    BankHost bank;
    Ask("DEVICEOPEN:SOCKET");
    EXPECT_EQ(Ask("IOCTL:2:20:10"), "OK");  // 200 ms instead of the default 30 s
    EXPECT_EQ(Ask("IOCTL:3:1:1"), "OK");    // not channel 2: changes nothing
    EXPECT_EQ(ConnectTo(bank), "OK");
    ASSERT_TRUE(bank.Accept());
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Ask("READ:2:1024"), "2:");
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, std::chrono::milliseconds(150));
    EXPECT_LT(waited, std::chrono::seconds(15));
}

TEST_F(DeviceChannelTest, ReadLengthIsBounded) {
    BankHost bank;
    EXPECT_EQ(Ask("READ:2:10"), "ER");  // no channel
    Ask("DEVICEOPEN:SOCKET");
    Ask("IOCTL:2:10:10");
    ConnectTo(bank);
    ASSERT_TRUE(bank.Accept());
    EXPECT_EQ(Ask("READ:2"), "ER");
    EXPECT_EQ(Ask("READ:5:10"), "ER");
    EXPECT_EQ(Ask("READ:2:-5"), "ER");
    EXPECT_EQ(Ask("READ:2:0"), "ER");
    EXPECT_EQ(Ask("READ:2:4x"), "ER");
    EXPECT_EQ(Ask("READ: 2:4"), "ER");
    bank.Answer("0123456789");
    EXPECT_EQ(Ask("READ:2:99999999999999"), "2:0123456789");
    bank.Answer("abcdef");
    EXPECT_EQ(Ask("READ:2:4"), "2:abcd");
    EXPECT_EQ(Ask("READ:3:4"), "3:ef");
}

TEST_F(DeviceChannelTest, ConnectRefusesMalformedFields) {
    BankHost bank;
    EXPECT_EQ(ConnectTo(bank), "ER");  // no channel yet
    Ask("DEVICEOPEN:SOCKET");
    EXPECT_EQ(Ask("CONNECT:"), "ER");
    EXPECT_EQ(Ask("CONNECT:3:10.0.0.1:443"), "OK");  // only channel 2 is connected
    EXPECT_EQ(Ask("CONNECT:2:bank:443"), "ER");
    EXPECT_EQ(Ask("CONNECT:2:10.0.0.1"), "ER");
    EXPECT_EQ(Ask("CONNECT:2:10.0.0.1:443:1"), "ER");
    EXPECT_EQ(Ask("CONNECT:2:10.0.x.1:443"), "ER");
    EXPECT_EQ(Ask("CONNECT:2:10..0.1:443"), "ER");
    EXPECT_EQ(Ask("CONNECT:2:10.0.0.256:443"), "ER");
    EXPECT_EQ(Ask("CONNECT:2:127.0.0.1:http"), "ER");
    EXPECT_EQ(Ask("CONNECT:2:127.0.0.1:70000"), "ER");
    bank.StopListening();
    EXPECT_EQ(ConnectTo(bank), "ER");
}

TEST_F(DeviceChannelTest, WriteNeedsAChannelNumberAndData) {
    EXPECT_EQ(Ask("WRITE:2:x"), "ER");
    Ask("DEVICEOPEN:SOCKET");
    EXPECT_EQ(Ask("WRITE:2"), "ER");
    EXPECT_EQ(Ask("WRITE:5:x"), "ER");
    EXPECT_EQ(Ask("WRITE:2:x"), "ER");  // not connected
}

TEST_F(DeviceChannelTest, IoctlRefusesShortAndNegativeTimes) {
    Ask("DEVICEOPEN:SOCKET");
    EXPECT_EQ(Ask("IOCTL:"), "ER");
    EXPECT_EQ(Ask("IOCTL:2:300"), "ER");
    EXPECT_EQ(Ask("IOCTL:2:-1:-5"), "ER");
    EXPECT_EQ(Ask("IOCTL:2: 30:1x"), "ER");  // a misread time is no time of 0 or 30
    EXPECT_EQ(Ask("IOCTL:3:300:600"), "OK");
    EXPECT_EQ(Ask("IOCTL:2:99999999999999:1"), "OK");
}

TEST_F(DeviceChannelTest, ReopenReleasesTheHeldChannel) {
    BankHost bank;
    Ask("DEVICEOPEN:SOCKET");
    ConnectTo(bank);
    ASSERT_TRUE(bank.Accept());
    EXPECT_EQ(Ask("DEVICEOPEN:SOCKET"), "OK:2");
    EXPECT_TRUE(bank.SeesClose());
}

// Opening the pinpad link anew releases a bank channel that is still held.
TEST_F(DeviceChannelTest, ConnectingThePinpadReleasesTheHeldChannel) {
    BankHost bank;
    Ask("DEVICEOPEN:SOCKET");
    ConnectTo(bank);
    ASSERT_TRUE(bank.Accept());
    Engine().Settings().MakePair("PORT", "/dev/ttyNOSUCHPORT");
    EXPECT_EQ(Engine().ComConnect(100), -1);
    EXPECT_TRUE(bank.SeesClose());
}

TEST_F(DeviceChannelTest, OnlyChannelTwoIsClosedForGood) {
    BankHost bank;
    Ask("DEVICEOPEN:SOCKET");
    ConnectTo(bank);
    ASSERT_TRUE(bank.Accept());
    EXPECT_EQ(Ask("DEVICECLOSE:3"), "OK");
    EXPECT_EQ(Ask("WRITE:2:still"), "OK");
    EXPECT_EQ(bank.Read(5), "still");
    EXPECT_EQ(Ask("DEVICECLOSE:2"), "OK");
    EXPECT_TRUE(bank.SeesClose());
    EXPECT_EQ(Ask("WRITE:2:x"), "ER");
    EXPECT_EQ(Ask("DISCONNECT:2"), "OK");
    EXPECT_EQ(Ask("DEVICECLOSE:2"), "OK");
}

}  // namespace
