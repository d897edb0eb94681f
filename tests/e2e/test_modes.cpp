// The direct dialog and proxy modes through DARirRunCmd, against the virtual
// pinpad over loopback TCP: whole sessions and the tags they leave, the
// mode's own state, and pinpads that go silent or drop the line.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "CommandSession.h"
#include "Installation.h"
#include "support/TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;

// A session in a fresh installation whose pinpad plays scenario.
class ModeTest : public ::testing::Test {
protected:
    void Play(const std::string& scenario, const std::vector<std::string>& vars = {},
              bool serial = false) {
        std::string error;
        ASSERT_TRUE(install_.StartPinpad(scenario, vars, serial, &error)) << error;
        cwd_ = std::make_unique<WorkingDir>(install_.Path());
        session_ = std::make_unique<CommandSession>();
    }
    // Runs the requests in turn, each expected to give its result.
    void Expect(const char* command, const std::vector<std::pair<std::string, int>>& steps) {
        for (const auto& [request, result] : steps)
            EXPECT_EQ(session_->Run(command, request), result) << command << " " << request;
    }
    void Finish() {
        session_.reset();
        cwd_.reset();
        const velrun_test::ChildResult played = install_.FinishPinpad();
        EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                             << install_.Transcript();
    }

    Installation install_;
    std::unique_ptr<WorkingDir> cwd_;
    std::unique_ptr<CommandSession> session_;
};

// What the cardholder typed is left for the register, not in the logs.
TEST_F(ModeTest, WholeDirectDialogSession) {
    const std::string typed = "4111111111111111";
    Play("dlg_direct_session.vps", {"--var", "DATA=" + typed});
    Expect("DLG_DIRECT", {{"START", 0},
                          {"CLEAR", 0},
                          {"WRITE|Hello", 0},
                          {"READ", 0},
                          {"READKEY|1|2", -1},
                          {"READKEY", 0},
                          {"MENU|Pay|Cash|Card", 0},
                          {"RESTART", 0},
                          {"END", 0}});
    EXPECT_EQ(session_->Get("DATA_INPUT"), typed);
    EXPECT_EQ(session_->Get("KEY_INPUT"), "1");
    EXPECT_EQ(session_->Get("MENU_SELECT"), "2");
    EXPECT_EQ(session_->Get("TIMEOUT"), "10");
    EXPECT_EQ(session_->Get("LENGTH"), "8");
    // The mode is closed after END.
    EXPECT_EQ(session_->Run("DLG_DIRECT", "CLEAR"), -1);
    Finish();
    const std::string trace = install_.Read("darir.log");
    for (const char* line :
         {"DARirImpl: DlgDirectCommand: Run: [MENU|Pay|Cash|Card]",
          "DARirImpl: DlgDirectCommand: Run: result: [-1]", "DLG_DIRECT: no object"})
        EXPECT_NE(trace.find(line), std::string::npos) << line;
    EXPECT_EQ((install_.Logs() + trace).find(typed), std::string::npos);
}

// Card data relayed by the proxy never reaches the logs in clear, and the
// mode leaves the last payment's results alone.
TEST_F(ModeTest, WholeProxySession) {
    const std::string card = "4111111111111111";
    Play("proxy_session.vps", {"--var", "DATA=" + card, "--var", "RECV=5500000000000004"});
    // The results of the payment before the mode stay for the register.
    install_.Write("cheq.out", "LAST SLIP\n");
    install_.Write("rc.out", "000\n");
    DARirSet(session_->Pos(), "response_code", "000", -1);
    Expect("PROXY_MODE", {{"START", 0},
                          {"GETAPLIST", 0},
                          {"AP_NAME=net1", 0},
                          {"CONNECT", 0},
                          {"SEND|a|b", -1},
                          {"SEND|" + card, 0},
                          {"RECV|5", 0},
                          {"DISCONNECT", 0},
                          {"END", 0}});
    EXPECT_EQ(session_->Get("AP_LIST"), "net1;net2");
    EXPECT_EQ(session_->Get("AP_NAME"), "net1");
    EXPECT_EQ(session_->Get("PROXY_RECV"), "5500000000000004");
    EXPECT_EQ(session_->Get("response_code"), "000");
    EXPECT_EQ(session_->Get("text_message"), "");
    EXPECT_EQ(install_.Read("cheq.out"), "LAST SLIP\n");
    EXPECT_EQ(install_.Read("rc.out"), "000\n");
    Finish();
    const std::string logs = install_.Logs() + install_.Read("darir.log");
    EXPECT_EQ(logs.find(card), std::string::npos);
    EXPECT_EQ(logs.find("5500000000000004"), std::string::npos);
    EXPECT_NE(install_.Read("darir.log").find("ProxyMode: Send: invalid parameters count: 2"),
              std::string::npos);
}

TEST_F(ModeTest, DirectDialogRequestForms) {
    Play("dlg_forms.vps");
    Expect("DLG_DIRECT", {{"START", 0},
                          {"ROW=2", 0},
                          {"COL=3", 0},
                          {"LINE=Hi", 0},
                          {"WRITE", 0},
                          {"WRITE|1|Text", 0},
                          {"WRITE|1|2|3|4", -1},
                          {"WRITE|1|2|Text", -1},
                          {"READ|1|5", -2},
                          {"READ|1|2|3", -1},
                          {"READ|1|2|3|4|5", -1},
                          {"MENU|Only", -1},
                          {"CAPTION=Pick", 0}});
    // "MENU" is a request word, so its value comes from the caller.
    DARirSet(session_->Pos(), "MENU", "Items", -1);
    Expect("DLG_DIRECT", {{"MENU", -2}, {"READKEY|5", -2}, {"END", 0}});
    Finish();
    EXPECT_NE(install_.Read("darir.log").find("DlgDirect: WriteLine: invalid parameters count: 4"),
              std::string::npos);
    EXPECT_NE(install_.Read("darir.log").find("DlgDirect: ReadLine: invalid parameters count: 3"),
              std::string::npos);
}

TEST_F(ModeTest, ProxyRefusedEmptyAndWrongAnswers) {
    Play("proxy_answers.vps");
    Expect("PROXY_MODE", {{"START", 0},
                          {"CONNECT|net9", -2},
                          {"AP_NAME=", 0},
                          {"CONNECT", 0},
                          {"RECV|5", -2},
                          {"RECV", -1},
                          {"PROXY_SEND=abc", 0},
                          {"SEND", -2},
                          {"DISCONNECT", -2},
                          {"END", 0}});
    EXPECT_EQ(session_->Get("PROXY_RECV"), "");
    EXPECT_EQ(session_->Get("AP_NAME"), "");
    Finish();
    EXPECT_NE(install_.Read("darir.log").find("ProxyMode: Connect: error answer=[REFUSED]"),
              std::string::npos);
}

// The dialog's TIMEOUT of 10 s is no link time-out of 10 ms for a mode
// opened later in the session.
TEST_F(ModeTest, DialogTimeoutDoesNotBecomeTheLinkTimeout) {
    Play("dlg_reopened_after_clear.vps");
    Expect("DLG_DIRECT",
           {{"START", 0}, {"CLEAR", 0}, {"END", 0}, {"START", 0}, {"READKEY", 0}, {"END", 0}});
    EXPECT_EQ(session_->Get("KEY_INPUT"), "7");
    EXPECT_EQ(session_->Get("TIMEOUT"), "10");
    Finish();
}

// The same session over a serial line (a pseudo-terminal).
TEST_F(ModeTest, ProxySessionOverASerialLine) {
    Play("proxy_session.vps", {}, true);
    Expect("PROXY_MODE", {{"START", 0},
                          {"GETAPLIST", 0},
                          {"CONNECT|net1", 0},
                          {"SEND|hello", 0},
                          {"RECV|5", 0},
                          {"DISCONNECT", 0},
                          {"END", 0}});
    EXPECT_EQ(session_->Get("PROXY_RECV"), "world");
    Finish();
}

// A second START fails and closes the mode; the next START opens it afresh.
TEST_F(ModeTest, StartTwiceClosesTheMode) {
    Play("dlg_start_twice.vps");
    Expect("DLG_DIRECT", {{"START", 0}, {"START", -1}, {"START", 0}, {"END", 0}});
    Finish();
    EXPECT_NE(install_.Read("darir.log").find("DLG_DIRECT: already start"), std::string::npos);
}

TEST_F(ModeTest, RequestsOnAClosedModeFail) {
    WorkingDir cwd(install_.Path());
    CommandSession session;
    EXPECT_EQ(session.Run("DLG_DIRECT", "END"), -1);
    EXPECT_EQ(session.Run("PROXY_MODE", "END"), -1);
    EXPECT_EQ(session.Run("PROXY_MODE", "SEND|x"), -1);
    EXPECT_NE(install_.Read("darir.log").find("PROXY_MODE: no object"), std::string::npos);
}

// A pinpad that stays silent fails the START within its wait of 3 s; the
// mode is closed and a later START works.
TEST_F(ModeTest, SilentPinpadFailsInTimeAndTheSessionGoesOn) {
    Play("proxy_silent_start.vps");
    const auto begin = Clock::now();
    EXPECT_EQ(session_->Run("PROXY_MODE", "START"), -1);
    EXPECT_LT(Clock::now() - begin, std::chrono::seconds(10));
    Expect("PROXY_MODE", {{"START", 0}, {"END", 0}});
    Finish();
}

// A line dropped while an input waits fails the request at once, not after
// the input's wait of 60 s; the mode is closed and a later START works.
TEST_F(ModeTest, DroppedLineFailsTheWaitAndTheSessionGoesOn) {
    Play("dlg_dropped_line.vps");
    EXPECT_EQ(session_->Run("DLG_DIRECT", "START"), 0);
    const auto begin = Clock::now();
    EXPECT_EQ(session_->Run("DLG_DIRECT", "READ|4"), -1);
    EXPECT_LT(Clock::now() - begin, std::chrono::seconds(20));
    Expect("DLG_DIRECT", {{"START", 0}, {"END", 0}});
    Finish();
}

// A mode whose pinpad cannot be reached fails its START and stays closed.
TEST_F(ModeTest, UnreachablePinpadFailsStart) {
    Installation install({"PORT=ETH", "PORT_IP=1"});
    WorkingDir cwd(install.Path());
    CommandSession session;
    EXPECT_EQ(session.Run("DLG_DIRECT", "START"), -1);
    EXPECT_EQ(session.Run("DLG_DIRECT", "CLEAR"), -1);
    EXPECT_NE(install.Read("darir.log").find("DLG_DIRECT: Run: no connection"), std::string::npos);
}

}  // namespace
