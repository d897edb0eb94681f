// Engine start-up: settings overlaid with the caller's parameters, file names
// with port and relay suffixes, the switch that turns all files off.
#include <regex>

#include "EngineFixture.h"
#include "ri/File.h"

namespace {

class StartupTest : public EngineFixture {};

TEST_F(StartupTest, GetPathFilePlacesBareNamesInTheSettingsDirectory) {
    PPAD& engine = Engine();
    EXPECT_EQ(engine.GetPathFile("lastop.stb", ""), Path("lastop.stb"));
    EXPECT_EQ(engine.GetPathFile("rc.out", "/var/out/"), "/var/out/rc.out");
    EXPECT_EQ(engine.GetPathFile("/abs/rc.out", "/var/out/"), "/abs/rc.out");
    EXPECT_EQ(engine.GetPathFile("sub\\rc.out", ""), Path("sub\\rc.out"));
    EXPECT_EQ(engine.GetPathFile("", "/var/out/"), "");
}

TEST_F(StartupTest, SerialPortSuffixesResultFilesAndStatusFile) {
    Ini("RESULT_FILE=rc.out\nCHEQ_FILE=cheq.out\nOUTPUT_FILE=out.txt\n");
    tags.Add("PORT", "/dev/ttyS1");
    PPAD& engine = Engine();
    EXPECT_EQ(engine.Settings().Find("RESULT_FILE"), Path("rc.out-ttyS1"));
    EXPECT_EQ(engine.Settings().Find("CHEQ_FILE"), Path("cheq.out-ttyS1"));
    EXPECT_EQ(engine.Settings().Find("OUTPUT_FILE"), Path("out.txt-ttyS1"));
    EXPECT_EQ(engine.StatusFileName(), "lastop.stb-ttyS1");
}

TEST_F(StartupTest, RelayIdentifierSuffixesFilesButEthPortDoesNot) {
    Ini("RESULT_FILE=rc.out\n");
    tags.Add("PORT", "ETH");
    tags.Add("ORVEX_ID", "T7");
    PPAD& engine = Engine();
    EXPECT_EQ(engine.Settings().Find("RESULT_FILE"), Path("rc.out-T7"));
    EXPECT_EQ(engine.StatusFileName(), "lastop.stb-T7");
}

TEST_F(StartupTest, CallerParametersOverrideCashregForOneRun) {
    Ini("TIMEOUT=2000\nSPEED=9600\n");
    tags.Add("TIMEOUT", "5000");
    PPAD& engine = Engine();
    EXPECT_EQ(engine.Settings().Find("TIMEOUT"), "5000");
    EXPECT_EQ(engine.Settings().Find("SPEED"), "9600");
    EXPECT_EQ(engine.Settings().Find("PPAD_IDLE_TO"), "120000");
}

TEST_F(StartupTest, EarlierResultFilesAreRemovedAndWritersOpened) {
    Ini("RESULT_FILE=rc.out\nCHEQ_FILE=cheq.out\nVAR_ENV_FILE=env.out\n");
    Write("rc.out", "005\n");
    Write("cheq.out", "old slip\n");
    Write("env.out", "OLD=1\n");
    Engine();
    EXPECT_EQ(Read("rc.out"), "");
    EXPECT_EQ(Read("cheq.out"), "");
    EXPECT_FALSE(Exists("env.out"));
}

TEST_F(StartupTest, DisableLogLeavesEveryFileAlone) {
    Ini("RESULT_FILE=rc.out\nCHEQ_FILE=cheq.out\nUSEAPPLOG=1\n");
    Write("rc.out", "005\n");
    Write("cheq.out", "old slip\n");
    tags.Add("DISABLE_LOG", "1");
    Engine();
    EXPECT_EQ(Read("rc.out"), "005\n");
    EXPECT_EQ(Read("cheq.out"), "old slip\n");
    EXPECT_FALSE(Exists("Logs"));
}

TEST_F(StartupTest, EngineLogOpensWithVersionAndBuildStamp) {
    Ini("USEAPPLOG=1\n");
    Engine();
    const auto logs = ri::File::GetFilesList(Path("Logs/"));
    ASSERT_EQ(logs.size(), 1u);
    const std::string log = Read("Logs/" + logs.front());
    EXPECT_NE(log.find(" Version: 2.1.0.28\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" Build date:\n"), std::string::npos);
    // The line after it: "Tue Feb  2 06:26:35 2021" behind the log's own stamp.
    const std::regex stamp(
        " Build date:\n[^\n]* [A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] "
        "[0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}\n");
    EXPECT_TRUE(std::regex_search(log, stamp)) << log;
}

TEST_F(StartupTest, CallerNodialogsSwitchesDialogsOff) {
    tags.Add("NODIALOGS", "1");
    EXPECT_TRUE(Engine().Settings().IsExist("NODIALOGS"));
}

TEST_F(StartupTest, StartStoresNoAnswerCode) {
    Engine();
    EXPECT_EQ(tags.Get("response_code"), "999");
}

TEST_F(StartupTest, StopReportsTheCancelAnswer) {
    EXPECT_EQ(Engine().Stop(), 0);
    link->IncomingFrame("ENDTR");
    Engine().ProcessCommand("ENDTR");
    EXPECT_EQ(Engine().Stop(), 1);
}

}  // namespace
