// Dispatch of pinpad commands and the replies the loop gives itself.
#include <chrono>

#include "EngineFixture.h"
#include "ri/File.h"

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

TEST_F(CommandLoopTest, PinpadTraceGoesToItsFileWhenAskedFor) {
    Ini("USEPPADTRACE=1\nTRACE_FILE=ppad.txt\n");
    Engine().ProcessCommand("TRACE:card read");
    Engine().ProcessCommand("TRACE:");
    Engine().ProcessCommand("TRACE:chip ok");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"OK", "OK", "OK"}));
    EXPECT_EQ(Read("ppad.txt"), "card read\nchip ok\n");
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

// A pinpad that drops the line ends the run at once, not after the idle
// time-out (two minutes by default) spent waiting on a dead link.
TEST_F(CommandLoopTest, DroppedLineEndsTheLoopAtOnce) {
    Ini("PPAD_IDLE_TO=120000\n");
    Engine();
    link->IncomingFrame("BEGINTR:");
    link->hangUp = true;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Engine().Start("x"), -2);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
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

namespace {

class RunSetupTest : public EngineFixture {
protected:
    std::string AppLog() {
        const auto logs = ri::File::GetFilesList(Path("Logs/"));
        return logs.empty() ? "" : Read("Logs/" + logs.front());
    }
};

// With "AUTODETECT_OPS" the terminal picks its operation file and its
// identifier through the conversion files, looked up upper-cased.
TEST_F(RunSetupTest, TerminalConversionsApplyBeforeTheLinkOpens) {
    Ini("USEAPPLOG=1\nPORT=LPT1\nAUTODETECT_OPS=1\nOPERATION_INI_FILE=ops.ini\n"
        "OPS_CONV_INI_FILE=opsconv.ini\nTID_CONV_INI_FILE=tidconv.ini\n");
    Write("opsconv.ini", "T1=ops_t1.ini\n");
    Write("ops_t1.ini", "1=1,1,Pay\n");
    Write("tidconv.ini", "T1=00012345\n");
    tags.Add("terminal_id", "t1");
    EXPECT_EQ(Engine().Run(1, nullptr), -1);
    EXPECT_EQ(tags.Get("terminal_id"), "00012345");
    const std::string log = AppLog();
    EXPECT_NE(log.find("Updated ops.ini = ops_t1.ini"), std::string::npos) << log;
    EXPECT_NE(log.find("DARir: TID CONV INI FILE loaded"), std::string::npos);
    EXPECT_EQ(log.find("DARir: open OPS file fail"), std::string::npos);
    EXPECT_NE(log.find("Connection ERROR"), std::string::npos);
}

TEST_F(RunSetupTest, MissingOperationFileEndsTheRunBeforeTheLink) {
    Ini("USEAPPLOG=1\nOPERATION_INI_FILE=nosuch.ini\nAUTODETECT_OPS=1\n"
        "OPS_CONV_INI_FILE=nosuch_conv.ini\n");
    EXPECT_EQ(Engine().Run(1, nullptr), -1);
    const std::string log = AppLog();
    EXPECT_NE(log.find("DARir: open OPS CONV INI FILE failed"), std::string::npos) << log;
    EXPECT_NE(log.find("DARir: open OPS file fail"), std::string::npos);
    EXPECT_EQ(log.find("Connection"), std::string::npos);
}

}  // namespace
