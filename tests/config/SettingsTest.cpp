#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <utility>
#include <vector>

#include "config/Cashreq.h"
#include "config/Registry.h"
#include "config/Settings.h"
#include "support/TempDir.h"
#include "support/TestTrace.h"

namespace {

// Records the pairs the loader hands over, in order.
class Recorder : public Settings {
public:
    Recorder() : Settings(TestTrace()) {}
    void MakePair(const std::string& key, const std::string& value) override {
        pairs.emplace_back(key, value);
    }
    std::vector<std::pair<std::string, std::string>> pairs;
};

TEST(Settings, LineRules) {
    TempDir dir;
    const std::string path =
        dir.Write("flat.ini",
                  "port=COM3\n  nodialogs \n  # note\n;note\n\n\tDEBUG=0\r\nEMPTY=\nA = B\n"
                  "[Settings]\nkey=a=b\n=nokey\nlast=1");
    Recorder table;
    ASSERT_EQ(0, table.SetFile(path));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"PORT", "COM3"},    {"nodialogs", "1"}, {"DEBUG", "0"}, {"EMPTY", ""}, {"A ", " B"},
        {"[Settings]", "1"}, {"KEY", "a=b"},     {"", "nokey"},  {"LAST", "1"}};
    EXPECT_EQ(expected, table.pairs);
}

TEST(Settings, MissingFileOrDirectoryFails) {
    TempDir dir;
    Recorder table;
    const std::string missing = dir.Path() + "/absent.ini";
    EXPECT_EQ(-1, table.SetFile(missing));
    EXPECT_EQ(-1, table.SetFile(dir.Path()));
    EXPECT_TRUE(table.pairs.empty());
    EXPECT_NE(std::string::npos, TestTraceText().find("file not exist: [" + missing + "]"));
    EXPECT_EQ(0, table.SetFile(dir.Write("empty.ini", "")));
}

TEST(Cashreq, Defaults) {
    Cashreq settings(TestTrace());
    const std::map<std::string, std::string> defaults = {
        {"PORT", "COM1"},
        {"SPEED", "115200"},
        {"PARITY", "0"},
        {"STOP", "0"},
        {"BYTE", "8"},
        {"TIMEOUT", "1000"},
        {"ADDR_IP", "127.0.0.1"},
        {"PORT_IP", "8000"},
        {"PPAD_IDLE_TO", "120000"},
        {"RC_CONVERT_FILE", "rc_conv.ini"},
        {"RC_RESOLVE_FILE", "rc_res.ini"},
        {"PPCHARSET", "CP1251"},
        {"OPCHARSET", "CP1251"},
        {"DEFAULT_RC_STRING", "\xCD\xE5\xF2 \xEA\xEE\xE4\xE0 \xEE\xF2\xE2\xE5\xF2\xE0"},
        {"TMS_SCRIPT_FILE", "tms.ini"},
        {"LOG_FOLDER_NAME", "Logs"},
        {"LOG_FOLDER_MODE", "770"},
        {"AUTH_CODE_FULL", "1"},
        {"TRACE_FILE", "trace.txt"}};
    for (const auto& [key, value] : defaults) {
        EXPECT_EQ(value, settings[key]) << key;
    }
    EXPECT_FALSE(settings.IsExist("DEBUG"));
    EXPECT_FALSE(settings.IsExist("PARITY"));  // "0" counts as absent
}

TEST(Cashreq, FileValuesReplaceDefaults) {
    TempDir dir;
    Cashreq settings(TestTrace());
    ASSERT_EQ(0, settings.SetFile(dir.Write("cashreg.ini",
                                            "port=COM3\nnodialogs\nDEBUG=0\nUSEJL=\n"
                                            "TIMEOUT=5000\nTIMEOUT=7000\n")));
    EXPECT_EQ("COM3", settings["PORT"]);
    EXPECT_EQ("1", settings["NODIALOGS"]);
    EXPECT_FALSE(settings.IsExist("DEBUG"));
    EXPECT_TRUE(settings.IsExist("USEJL"));
    EXPECT_EQ(7000, settings.GetInt("TIMEOUT"));
    EXPECT_EQ("115200", settings["SPEED"]);
}

TEST(Cashreq, KeyCaseAndGetters) {
    Cashreq settings(TestTrace());
    settings.MakePair("speed", "9600");
    EXPECT_FALSE(settings.IsExist("speed"));
    EXPECT_EQ(9600, settings.GetInt("speed"));
    EXPECT_EQ(9600L, settings.GetLong("Speed"));
    settings.MakePair("LETTER", "65");
    EXPECT_EQ('A', settings.GetChar("letter"));

    EXPECT_EQ("", settings.Find("speed"));  // exact key, nothing added
    EXPECT_FALSE(settings.IsExist("speed"));
    EXPECT_EQ("9600", settings.Find("SPEED"));

    EXPECT_EQ(0, settings.GetInt("NEW_KEY"));
    EXPECT_TRUE(settings.IsExist("NEW_KEY"));  // added with an empty value

    settings.Delete("port");
    EXPECT_TRUE(settings.IsExist("PORT"));
    settings.Delete("PORT");
    EXPECT_FALSE(settings.IsExist("PORT"));
}

TEST(Registry, FindsTheSettingsDirectory) {
    TempDir dir;
    char previous[4096];
    ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
    ASSERT_EQ(0, chdir(dir.Path().c_str()));
    mkdir("ini", 0700);
    dir.Write("ini/cashreg.ini", "PORT=COM2\n");
    const Registry inIni;
    dir.Write("cashreg.ini", "PORT=COM2\n");
    const Registry here;
    ASSERT_EQ(0, chdir(previous));

    EXPECT_EQ("./ini/", inIni.GetIniPath());
    EXPECT_EQ("./", here.GetIniPath());
    EXPECT_EQ("./", here.GetWorkPath());
    EXPECT_EQ("./", here.GetDlgLibPath());
    EXPECT_EQ("./", here.GetExchangePath());
}

}  // namespace
