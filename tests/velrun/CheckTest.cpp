// velrun's informational command lines: --help, --version and --check of an
// installation copied from the example one, whole and with one fault each.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "VelrunFixture.h"

namespace velrun_test {
namespace {

namespace fs = std::filesystem;

class VelrunCheck : public VelrunTest {
protected:
    void SetUp() override {
        VelrunTest::SetUp();
        for (const auto& entry : fs::directory_iterator(EXAMPLE_INSTALL_DIR))
            fs::copy(entry.path(), workDir_ / entry.path().filename());
    }
    void write(const std::string& name, const std::string& content) const {
        std::ofstream(workDir_ + "/" + name, std::ios::binary | std::ios::trunc) << content;
    }
    ChildResult check() const { return runChild(plain({"--check"})); }
};

TEST_F(VelrunCheck, HelpAndVersionGoToStandardOutput) {
    const auto help = runChild(plain({"--help"}));
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("Usage: velrun --command CODE", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
    const auto version = runChild(plain({"--version"}));
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "velrun " VELPAD_VERSION "\n");
    // Only the sole argument is informational: anything else is an operation's
    // command line, judged as before.
    const auto mixed = runChild(plain({"--help", "--command", "1"}));
    EXPECT_EQ(mixed.exitStatus, 1);
    EXPECT_EQ(mixed.out, "");
    EXPECT_NE(mixed.err.find("Некорректный параметр"), std::string::npos);
}

TEST_F(VelrunCheck, ExampleInstallationIsReady) {
    const auto r = check();
    EXPECT_EQ(r.exitStatus, 0) << r.out;
    EXPECT_NE(r.out.find("ok       cashreg.ini: found in ./ (the settings directory)"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("pinpad link: TCP relay at 127.0.0.1:8000"), std::string::npos);
    EXPECT_NE(r.out.find("TIMEOUT=1000 ms, pinpad idle PPAD_IDLE_TO=120000 ms"), std::string::npos);
    EXPECT_NE(r.out.find("operation table ./ops.ini: operations 1 2 3 4 7 8 12 102 103"),
              std::string::npos);
    EXPECT_NE(r.out.find("link test to the pinpad: not run"), std::string::npos);
    EXPECT_EQ(r.out.find("PROBLEM"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nResult: ready\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(workDir_ + "/Logs")) << "the check created the log folder";
}

TEST_F(VelrunCheck, SettingsFoundInIniFolderAreNamedThere) {
    fs::create_directory(workDir_ + "/ini");
    for (const char* name : {"cashreg.ini", "ops.ini", "rc_conv.ini", "rc_res.ini"})
        fs::rename(workDir_ + "/" + name, workDir_ + "/ini/" + name);
    const auto r = check();
    EXPECT_EQ(r.exitStatus, 0) << r.out;
    EXPECT_NE(r.out.find("cashreg.ini: found in ./ini/"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("engine log folder ./ini/Logs/"), std::string::npos) << r.out;
}

TEST_F(VelrunCheck, MissingCashregIniIsTheFirstProblem) {
    fs::remove(workDir_ + "/cashreg.ini");
    const auto r = check();
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.out.find("\nResult: not ready: cashreg.ini not found (looked in ./, ./ini/, "
                         "../ini/, /home/it/"),
              std::string::npos)
        << r.out;
}

TEST_F(VelrunCheck, BrokenOperationLinesAreNamedByFileAndNumber) {
    write("ops.ini", "; operations\n1=1,1,Pay\nabc=2,2,Refund\n\n3=7\n-4=4,4,Cancel\n");
    const auto r = check();
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.out.find("PROBLEM  ops.ini line 5: no pinpad type and index"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("PROBLEM  ops.ini line 6: the code is not a number"), std::string::npos);
    EXPECT_NE(r.out.find("note     operation table ./ops.ini: operations 1\n"), std::string::npos);
    EXPECT_NE(r.out.find("\nResult: not ready: ops.ini line 3: the code is not a number"),
              std::string::npos);
}

TEST_F(VelrunCheck, ResultCodeTablesAndSettingsValuesAreChecked) {
    write("rc_conv.ini", "1=0\n7=x\n");
    EXPECT_NE(check().out.find("Result: not ready: rc_conv.ini line 2: the converted code"),
              std::string::npos);
    // No result from the pinpad (999) must never read as success.
    write("rc_conv.ini", "1=0\n999=0\n");
    EXPECT_NE(check().out.find("Result: not ready: rc_conv.ini line 2: code 999 means no result"),
              std::string::npos);
    write("rc_conv.ini", "1=0\n");
    write("cashreg.ini", "PORT=ETH\nPORT_IP=80a\nOPERATION_INI_FILE=ops.ini\n");
    EXPECT_NE(check().out.find("Result: not ready: PORT_IP is not a TCP port"), std::string::npos);
    write("cashreg.ini", "PORT=/dev/ttyNOSUCH9\nTIMEOUT=0\nOPERATION_INI_FILE=ops.ini\n");
    const auto r = check();
    EXPECT_NE(r.out.find("PROBLEM  PORT names a serial device that does not exist"),
              std::string::npos);
    EXPECT_NE(r.out.find("PROBLEM  TIMEOUT is not a positive number"), std::string::npos) << r.out;
}

// Root can write into any folder, so the log folder is blocked by a file of
// its name, which no user can turn into a folder.
TEST_F(VelrunCheck, LogFolderThatCannotBeWrittenIsAProblem) {
    write("Logs", "not a folder\n");
    const auto r = check();
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.out.find("\nResult: not ready: engine log folder ./Logs/ cannot be written: it "
                         "is not a folder"),
              std::string::npos)
        << r.out;
}

}  // namespace
}  // namespace velrun_test
