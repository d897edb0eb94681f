// The message link over a fake line: frame bytes, NAKs and their budget,
// frames cut short, silence.
#include <chrono>

#include "EngineFixture.h"
#include "ri/File.h"

namespace {

class LinkTest : public EngineFixture {
protected:
    // Short link time-out so that silence costs little.
    void SetUp() override { Ini("TIMEOUT=50\nUSEAPPLOG=1\n"); }
    std::string AppLog() {
        const auto logs = ri::File::GetFilesList(Path("Logs/"));
        return logs.empty() ? "" : Read("Logs/" + logs.front());
    }
};

TEST_F(LinkTest, FramesCarryABigEndianLength) {
    Engine().Session().SendMsg("PING:");
    Engine().Session().SendMsg("");
    std::string big(300, 'x');
    Engine().Session().SendMsg(big);
    ASSERT_EQ(link->sent.size(), 3u);
    EXPECT_EQ(link->sent[0], std::string("\x01\x00\x05PING:", 8));
    EXPECT_EQ(link->sent[1], std::string("\x01\x00\x02OK", 5));
    EXPECT_EQ(link->sent[2], std::string("\x01\x01\x2C", 3) + big);
}

TEST_F(LinkTest, AnEmptyFrameIsSentOnlyWhenAllowed) {
    Engine().Session().SendMsg("", true);
    EXPECT_EQ(link->sent.at(0), std::string("\x01\x00\x00", 3));
}

TEST_F(LinkTest, ReceivesAFrameDeliveredInPieces) {
    Engine();
    link->Incoming("\x01");
    link->Incoming(std::string("\x00\x07", 2));
    link->Incoming("PRI");
    link->Incoming("NT:A");
    EXPECT_EQ(Engine().Session().WaitMessage(2, 5), "PRINT:A");
    EXPECT_TRUE(link->sent.empty());
}

TEST_F(LinkTest, EmptyFrameGivesEmptyResult) {
    Engine();
    link->Incoming(std::string("\x01\x00\x00", 3));
    EXPECT_EQ(Engine().Session().WaitMessage(2, 5), "");
    EXPECT_NE(AppLog().find("RECV <- \n"), std::string::npos);
}

TEST_F(LinkTest, WrongFirstByteIsAnsweredWithNak) {
    Engine();
    link->Incoming("\x02");
    link->IncomingFrame("STATUS:x");
    EXPECT_EQ(Engine().Session().WaitMessage(2, 500), "STATUS:x");
    EXPECT_EQ(Sent(), std::vector<std::string>{"NAK"});
    EXPECT_EQ(link->purges, 1);
    EXPECT_NE(AppLog().find("ERROR: recive message: first byte not 0x01: [0x02]"),
              std::string::npos);
}

TEST_F(LinkTest, FrameCutShortGivesEmptyResult) {
    Engine();
    link->Incoming(
        std::string("\x01\x00\x0A"
                    "ABCDEF",
                    9));
    EXPECT_EQ(Engine().Session().WaitMessage(2, 5), "");
    EXPECT_NE(AppLog().find("\xCE\xD8\xC8\xC1\xCA\xC0! \xCD\xE5\xF2 \xEE\xF2\xE2\xE5\xF2\xE0"),
              std::string::npos);
}

TEST_F(LinkTest, SilenceSpendsTheNakBudgetThenGivesUp) {
    Engine();
    EXPECT_EQ(Engine().Session().WaitMessage(2, 500), "");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"NAK", "NAK"}));
}

// The budget is cut to what fits the wait: 2 NAKs of 50 ms do not fit into a
// wait of 5 (taken in the same unit), so none is sent.
TEST_F(LinkTest, BudgetShrinksToTheWait) {
    Engine();
    link->Incoming("\x02");
    EXPECT_EQ(Engine().Session().WaitMessage(2, 5), "");
    EXPECT_TRUE(link->sent.empty());
}

TEST_F(LinkTest, DisableNakEndsTheWaitWithoutANak) {
    Ini("DISABLE_NAK=1\n");
    Engine();
    link->Incoming("\x02");
    EXPECT_EQ(Engine().Session().WaitMessage(2, 500), "");
    EXPECT_TRUE(link->sent.empty());
}

TEST_F(LinkTest, SkipNakWaitsSilentlyUntilTheDeadline) {
    tags.Add("SKIP_NAK", "1");
    Engine();
    EXPECT_EQ(Engine().Session().WaitMessage(2, 1), "");
    EXPECT_TRUE(link->sent.empty());
}

// Without NAKs for silence a wait ends at the idle time-out, while a damaged
// frame is still answered with a NAK.
TEST_F(LinkTest, SkipNakStillNaksDamagedFramesAndEndsAtTheIdleTimeout) {
    Ini("PPAD_IDLE_TO=300\n");
    tags.Add("SKIP_NAK", "1");
    Engine();
    link->Incoming("\x02");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Engine().Session().WaitMessage(10, 120000), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    EXPECT_EQ(Sent(), std::vector<std::string>{"NAK"});
}

// The rest of a cut frame is waited for as long as the frame time-out, not
// as long as the whole wait, and the frame is not asked for again.
TEST_F(LinkTest, ACutFrameEndsTheWaitAtTheFrameTimeout) {
    Engine();
    link->Incoming(
        std::string("\x01\x00\x0A"
                    "ABC",
                    6));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Engine().Session().WaitMessage(2, 500), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_TRUE(link->sent.empty());
}

TEST_F(LinkTest, EncodingConvertsOnlyForUtf8Operator) {
    const std::string yes = "\xC4\xC0";  // "ДА" in CP1251
    EXPECT_EQ(Engine().Session().Encoding(yes), yes);
    Engine().Settings().MakePair("OPCHARSET", "UTF-8");
    EXPECT_EQ(Engine().Session().Encoding(yes), "\xD0\x94\xD0\x90");
}

}  // namespace

namespace {

// Frame lines show tag lists as tags with the card number masked, whether
// or not the tag dump is switched off, and a line break inside a payload
// cannot start a forged line of the log.
TEST_F(LinkTest, FrameLinesShowCardDataRenderedAndStayOneLine) {
    Ini("TIMEOUT=50\nUSEAPPLOG=1\nNOTAGSLOG\n");
    Engine();
    link->IncomingFrame(std::string("SETTAGS:\x5A\x08\x42\x76\x12\x34\x56\x78\x12\x34", 18));
    link->IncomingFrame("TRACE:x\n2021/12/31 23:59:58 RECV <- forged");
    Engine().Session().WaitMessage(2, 5);
    Engine().Session().WaitMessage(2, 5);
    Engine().Session().SendMsg(std::string("\x5A\x08\x42\x76\x12\x34\x56\x78\x12\x34", 10), false,
                               CardData::Payload::kTagList);
    const std::string log = AppLog();
    EXPECT_NE(log.find(" RECV <- SETTAGS:pan=427612******1234\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" RECV <- TRACE:x\\x0A2021/12/31 23:59:58 RECV <- forged\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(" SEND -> pan=427612******1234\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("\n2021/12/31"), std::string::npos) << log;
    EXPECT_EQ(log.find("\x42\x76\x12\x34"), std::string::npos) << log;
}

}  // namespace
