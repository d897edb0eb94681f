#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "TestSupport.h"
#include "support/TestTrace.h"
#include "transport/LinuxTransportSocket.h"

using transport_test::ElapsedMs;
using transport_test::LoopbackServer;
using transport_test::ReadUpTo;
using transport_test::SendAll;

namespace {

void Address(LinuxTransportSocket& transport, unsigned short port) {
    auto* params = static_cast<LinuxTransportSocket::Params*>(transport.GetParams());
    params->address.sin_family = AF_INET;
    params->address.sin_port = htons(port);
    params->address.sin_addr.s_addr = inet_addr("127.0.0.1");
}

// A client transport connected to server, and the server's end of it.
struct Connection {
    explicit Connection(const LoopbackServer& server, unsigned int timeoutMs = 2000) {
        Address(client, server.Port());
        client.SetTimeouts(timeoutMs, timeoutMs);
        result = client.Connect();
        peer = server.Accept(5000);
    }
    ~Connection() {
        if (peer >= 0) {
            close(peer);
        }
    }
    void ClosePeer() {
        close(peer);
        peer = -1;
    }

    LinuxTransportSocket client;
    int result = -1;
    int peer = -1;
};

}  // namespace

TEST(LinuxTransportSocket, ExchangesBytesBothWays) {
    LoopbackServer server;
    Connection link(server);
    ASSERT_EQ(link.result, 0);
    ASSERT_GE(link.peer, 0);
    EXPECT_NE(TestTraceText().find("SOCKET CONNECT: [127.0.0.1] [" + std::to_string(server.Port())),
              std::string::npos);

    const std::string request(
        "\x01\x00\x03"
        "A\x00Z",
        6);
    EXPECT_EQ(link.client.Send(request), 0);
    EXPECT_EQ(ReadUpTo(link.peer, request.size(), 5000), request);

    SendAll(link.peer, "answer");
    EXPECT_EQ(link.client.Recive(4), "answ");
    EXPECT_EQ(link.client.Recive(100), "er");
    EXPECT_EQ(link.client.Purge(), 0);
}

// A frame read piece by piece (start byte, length, payload) comes from one
// arrival; what was read ahead is handed out even after the peer has gone.
TEST(LinuxTransportSocket, PiecesOfOneArrivalComeOutInOrder) {
    LoopbackServer server;
    Connection link(server);
    ASSERT_EQ(link.result, 0);
    SendAll(link.peer, std::string("\x01\x00\x02OK", 5));
    EXPECT_EQ(link.client.Recive(1), "\x01");
    link.ClosePeer();
    EXPECT_EQ(link.client.Recive(2), std::string("\x00\x02", 2));
    EXPECT_EQ(link.client.Recive(2), "OK");
    EXPECT_TRUE(link.client.IsConnected());
    EXPECT_EQ(link.client.Recive(1), "");
    EXPECT_FALSE(link.client.IsConnected());
}

TEST(LinuxTransportSocket, ReceiveTimesOutEmpty) {
    LoopbackServer server;
    Connection link(server, 200);
    ASSERT_EQ(link.result, 0);
    std::string data = "unset";
    const long spent = ElapsedMs([&] { data = link.client.Recive(10); });
    EXPECT_EQ(data, "");
    EXPECT_GE(spent, 150);
    EXPECT_LT(spent, 5000);
    EXPECT_NE(TestTraceText().find("SOCKET RECV: EMPTY"), std::string::npos);
}

TEST(LinuxTransportSocket, PeerCloseGivesEmptyAndSendFailsWithoutSignal) {
    LoopbackServer server;
    Connection link(server, 10000);
    ASSERT_EQ(link.result, 0);
    link.ClosePeer();
    std::string data = "unset";
    const long spent = ElapsedMs([&] { data = link.client.Recive(10); });
    EXPECT_EQ(data, "");
    EXPECT_LT(spent, 5000);
    EXPECT_NE(TestTraceText().find("LinuxTransportSocket: Recive: recv fail: [0]"),
              std::string::npos);

    // The first write may still be taken by the kernel; a later one meets the
    // reset connection and must fail instead of raising SIGPIPE.
    int result = 0;
    for (int attempt = 0; attempt < 50 && result == 0; ++attempt) {
        result = link.client.Send("after close");
    }
    EXPECT_EQ(result, -1);
}

TEST(LinuxTransportSocket, RefusedConnectionFailsAndCannotBeRetried) {
    LoopbackServer closedPort(0, false);  // bound, not listening: connections are refused
    LinuxTransportSocket transport;
    Address(transport, closedPort.Port());
    EXPECT_EQ(transport.Connect(), -1);
    EXPECT_NE(TestTraceText().find("LinuxTransportSocket: Connect: connect fail: [" +
                                   std::to_string(ECONNREFUSED) + "]"),
              std::string::npos);
    EXPECT_NE(TestTraceText().find("SOCKET CONNECT RESULT: [-1]"), std::string::npos);
    EXPECT_EQ(transport.Connect(), -1);
    EXPECT_EQ(transport.Send("x"), -1);
    EXPECT_EQ(transport.Recive(1), "");
}

TEST(LinuxTransportSocket, ConnectToSilentPeerEndsAtTheSendTimeout) {
    // A listener with a full backlog drops further connection requests, as an
    // unreachable host would.
    LoopbackServer server(0);
    LinuxTransportSocket filler;
    Address(filler, server.Port());
    ASSERT_EQ(filler.Connect(), 0);

    LinuxTransportSocket transport;
    Address(transport, server.Port());
    transport.SetTimeouts(300, 300);
    int result = 0;
    const long spent = ElapsedMs([&] { result = transport.Connect(); });
    EXPECT_EQ(result, -1);
    EXPECT_GE(spent, 250);
    EXPECT_LT(spent, 5000);
    EXPECT_NE(TestTraceText().find("connect fail: [" + std::to_string(ETIMEDOUT) + "]"),
              std::string::npos);
}

TEST(LinuxTransportSocket, LargeSendArrivesWhole) {
    LoopbackServer server;
    Connection link(server, 10000);
    ASSERT_EQ(link.result, 0);
    std::string payload(8 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<char>(i * 7);
    }
    std::string received;
    std::thread reader([&] { received = ReadUpTo(link.peer, payload.size(), 60000); });
    EXPECT_EQ(link.client.Send(payload), 0);
    reader.join();
    EXPECT_TRUE(received == payload) << "received " << received.size() << " bytes";
}
