// Dispatch of pinpad commands and the replies the loop gives itself.
#include <chrono>

#include "EngineFixture.h"

namespace {

class CommandLoopTest : public EngineFixture {
protected:
    void SetUp() override { Ini("TIMEOUT=50\nPPAD_IDLE_TO=300\n"); }
};

TEST_F(CommandLoopTest, OnlyTheBareEndtrEndsTheTransaction) {
    EXPECT_EQ(Engine().ProcessCommand("ENDTR:"), 0);
    EXPECT_EQ(Engine().ProcessCommand("ENDTR"), -3);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ER", "OK"}));
}

TEST_F(CommandLoopTest, UnknownAndBareCommandsAreRefused) {
    Engine().ProcessCommand("NOSUCH:1");
    Engine().ProcessCommand("ISALIVE");
    Engine().ProcessCommand("GETFILE:x");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ER", "ER", "ER"}));
}

TEST_F(CommandLoopTest, CardRequestGetsNoReply) {
    EXPECT_EQ(Engine().ProcessCommand("CARDREQ:"), 0);
    EXPECT_TRUE(link->sent.empty());
}

TEST_F(CommandLoopTest, StopIsDeliveredOnceToThePinpadsNextPoll) {
    Engine().Stop();
    Engine().ProcessCommand("PING:");
    Engine().ProcessCommand("PING:");
    Engine().Stop();
    Engine().ProcessCommand("ISALIVE");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"CANCEL", "OK", "ISALIVE:0"}));
}

TEST_F(CommandLoopTest, SpecialResultStoresTheTerminalSerial) {
    Engine().ProcessCommand("SPRESULT:SERIAL:12345");
    Engine().ProcessCommand("SPRESULT:SERIAL");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"OK", "ER"}));
    EXPECT_EQ(tags.Get("terminal_serial_number"), "12345");
}

TEST_F(CommandLoopTest, StartServesUntilEndtrAndIgnoresShortPayloads) {
    Engine();
    link->IncomingFrame("OK!");
    link->IncomingFrame("SPRESULT:SERIAL:9");
    link->IncomingFrame("ENDTR");
    EXPECT_EQ(Engine().Start("1\x1b"
                             "1\x1b\x1b\x1b\x1b"),
              0);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"1\x1b"
                                                "1\x1b\x1b\x1b\x1b",
                                                "OK", "OK"}));
}

TEST_F(CommandLoopTest, NoAnswerToTheStartMessageClosesTheLink) {
    Ini("DISABLE_NAK=1\n");
    Engine();
    EXPECT_EQ(Engine().Start("x"), -2);
    EXPECT_EQ(Engine().Start("x"), -1);
}

TEST_F(CommandLoopTest, SilentPinpadWithSkipNakEndsAtTheIdleTimeout) {
    tags.Add("SKIP_NAK", "1");
    Engine();
    link->IncomingFrame("PING:");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Engine().Start("x"), -2);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
}

}  // namespace
