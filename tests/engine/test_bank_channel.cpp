#include <gtest/gtest.h>

#include "FakeTransport.h"
#include "engine/BankChannel.h"
#include "transport/TransportFactory.h"

// With no channel held every request is refused, none reaches a transport.
TEST(BankChannel, RefusesEveryRequestWithoutAChannel) {
    BankChannel channel;
    EXPECT_FALSE(channel.Held());
    EXPECT_FALSE(channel.Connect(TransportFactory::Ipv4("127.0.0.1", 9)));
    EXPECT_EQ(channel.Send("data"), -1);
    EXPECT_EQ(channel.Receive(10), "");
    channel.SetTimeouts(1000);
    channel.Close();
    channel.Release();
    EXPECT_FALSE(channel.Held());
}

// "DISCONNECT:" closes the connection and keeps the channel; "CLOSE:" closes
// and drops it; the bytes pass through unchanged.
TEST(BankChannel, ClosesKeepsOrDropsTheChannel) {
    BankChannel channel;
    auto* host = new FakeTransport;
    channel.Attach(host);
    host->Incoming("answer");
    EXPECT_EQ(channel.Send("request"), 0);
    EXPECT_EQ(channel.Receive(64), "answer");
    channel.Close();
    EXPECT_TRUE(host->closed);
    EXPECT_TRUE(channel.Held());
    channel.Release();
    EXPECT_FALSE(channel.Held());
}

// Opening a channel closes the one still held before the new one is made.
TEST(BankChannel, OpenReplacesAHeldChannel) {
    BankChannel channel;
    channel.Attach(new FakeTransport);
    ASSERT_TRUE(channel.Open(30000));
    EXPECT_TRUE(channel.Held());
    EXPECT_EQ(dynamic_cast<FakeTransport*>(channel.Transport()), nullptr);
}
