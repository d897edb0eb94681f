// The link test and the settings message through DARirRunCmd, against the
// virtual pinpad over loopback TCP.
#include <gtest/gtest.h>

#include <string>

#include "CommandSession.h"
#include "Installation.h"
#include "support/TempDir.h"

namespace {

// Plays scenario while the session runs command with argument; the result.
int Played(Installation& install, const std::string& scenario, const std::vector<std::string>& vars,
           const char* command, const std::string& argument) {
    std::string error;
    EXPECT_TRUE(install.StartPinpad(scenario, vars, false, &error)) << error;
    int result = 0;
    {
        WorkingDir cwd(install.Path());
        CommandSession session;
        result = session.Run(command, argument);
    }
    const velrun_test::ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                         << install.Transcript();
    return result;
}

int Unplayed(Installation& install, const char* command, const std::string& argument) {
    WorkingDir cwd(install.Path());
    CommandSession session;
    return session.Run(command, argument);
}

TEST(ServiceCommandTest, LinkTestPasses) {
    Installation install;
    EXPECT_EQ(Played(install, "link_test.vps", {}, "TEST_PING", "1"), 0);
}

TEST(ServiceCommandTest, LinkTestFailuresHaveTheirCodes) {
    Installation unanswered;
    EXPECT_EQ(Played(unanswered, "ping_unanswered.vps", {}, "TEST_PING", "1"), -2);
    // Nothing listens on port 1 of the loopback address.
    Installation refused({"PORT=ETH", "PORT_IP=1"});
    EXPECT_EQ(Unplayed(refused, "TEST_PING", "1"), -1);
    Installation noPort({"PORT=LPT1"});
    EXPECT_EQ(Unplayed(noPort, "TEST_PING", "1"), -3);
}

// The value keeps every colon after the first; the last payment's slip and
// result stay as they were.
TEST(ServiceCommandTest, SettingsSendsKeyAndValue) {
    Installation install;
    install.Write("cheq.out", "LAST SLIP\n");
    install.Write("rc.out", "000\n");
    EXPECT_EQ(Played(install, "settings.vps", {"--var", "KEY=A", "--var", "VALUE=B:C"}, "SETTINGS",
                     "A:B:C"),
              0);
    EXPECT_EQ(install.Read("cheq.out"), "LAST SLIP\n");
    EXPECT_EQ(install.Read("rc.out"), "000\n");
}

TEST(ServiceCommandTest, SettingsWithoutColonSendsNothing) {
    Installation install;
    EXPECT_EQ(Played(install, "nothing_sent.vps", {}, "SETTINGS", "NOCOLON"), -1);
    EXPECT_NE(install.Read("darir.log").find("PPAD: SetSettings: invalid data: [NOCOLON]"),
              std::string::npos);
}

TEST(ServiceCommandTest, Utf8ArgumentReachesThePinpadInCp1251) {
    Installation install;
    install.Write("darir.ini", install.Read("darir.ini") + "\nUTF8=1\n");
    EXPECT_EQ(Played(install, "settings_cp1251.vps", {}, "SETTINGS",
                     "MSG:\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"),
              0);
}

TEST(ServiceCommandTest, BadCommandsFail) {
    Installation install;
    WorkingDir cwd(install.Path());
    CommandSession session;
    EXPECT_EQ(session.Run("NO_SUCH_COMMAND", ""), -1);
    EXPECT_EQ(session.Run("", ""), -1);
    EXPECT_EQ(session.Run(std::string(500, 'A').c_str(), ""), -1);
    EXPECT_EQ(DARirRunCmd(session.Pos(), nullptr, "x", -1), -1);
    EXPECT_EQ(DARirRunCmd(nullptr, "TEST_PING", "1", -1), -1);
    // An unterminated argument of 500 bytes or more needs its size.
    EXPECT_EQ(DARirRunCmd(session.Pos(), "SETTINGS", std::string(600, 'A').c_str(), -1), -1);
}

}  // namespace
