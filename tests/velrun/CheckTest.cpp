// velrun's informational command lines: --help, --version and --check of an
// installation copied from the example one, whole and with one fault each.
// Its relay port refuses every connection, so the link test fails here and
// no foreign port is ever tried; CheckMatrixTest plays --check against the
// virtual pinpad and real runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ClosedPort.h"
#include "VelrunFixture.h"

namespace velrun_test {
namespace {

namespace fs = std::filesystem;

class VelrunCheck : public VelrunTest {
protected:
    void SetUp() override {
        VelrunTest::SetUp();
        for (const auto& entry : fs::directory_iterator(EXAMPLE_INSTALL_DIR))
            fs::copy(entry.path(), workDir_ / entry.path().filename(), fs::copy_options::recursive);
        std::ofstream(workDir_ + "/cashreg.ini", std::ios::binary | std::ios::app)
            << "\nPORT_IP=" << closed_.Text() << "\n";
    }
    void write(const std::string& name, const std::string& content) const {
        std::ofstream(workDir_ + "/" + name, std::ios::binary | std::ios::trunc) << content;
    }
    ChildResult check() const { return runChild(plain({"--check"})); }

    ClosedPort closed_;
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

TEST_F(VelrunCheck, ExampleInstallationWithoutItsPinpad) {
    const auto r = check();
    EXPECT_EQ(r.exitStatus, 2) << r.out;
    EXPECT_NE(r.out.find("ok       cashreg.ini: found in ./ (the settings directory)"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("pinpad link: TCP relay at 127.0.0.1:" + closed_.Text()),
              std::string::npos);
    EXPECT_NE(r.out.find("time-outs in force: TIMEOUT=1000 ms, PPAD_IDLE_TO=120000 ms, "
                         "PPAD_LOCK_TO=5000 ms"),
              std::string::npos);
    EXPECT_NE(r.out.find("operation table ./ops.ini: operations 1 2 3 4 7 8 12 102 103"),
              std::string::npos);
    EXPECT_EQ(countOf(r.out, "PROBLEM"), 1u) << r.out;
    EXPECT_NE(r.out.find("\nResult: not ready: link test (TEST_PING) failed (-1): no TCP relay "
                         "at 127.0.0.1:" +
                         closed_.Text()),
              std::string::npos)
        << r.out;
    // The library's own error lines go with the diagnostics, not into the report.
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_TRUE(line.rfind("Installation in ", 0) == 0 || line.rfind("  ", 0) == 0 ||
                    line.rfind("Result: ", 0) == 0)
            << line;
    EXPECT_NE(r.err.find("OrvexIPService"), std::string::npos) << r.err;
    // The link test keeps the engine log and the files of a run untouched.
    for (const char* name : {"Logs", "rc.out", "cheq.out", "lastop.stb"})
        EXPECT_FALSE(fs::exists(workDir_ + "/" + name)) << name << " made by the check";
}

TEST_F(VelrunCheck, SettingsFoundInIniFolderAreNamedThere) {
    fs::create_directory(workDir_ + "/ini");
    for (const char* name : {"cashreg.ini", "ops.ini", "rc_conv.ini", "rc_res.ini"})
        fs::rename(workDir_ + "/" + name, workDir_ + "/ini/" + name);
    const auto r = check();
    EXPECT_NE(r.out.find("cashreg.ini: found in ./ini/"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("operation table ./ini/ops.ini: operations 1 "), std::string::npos);
    EXPECT_NE(r.out.find("engine log folder ./ini/Logs/"), std::string::npos) << r.out;
    EXPECT_EQ(countOf(r.out, "PROBLEM"), 1u) << r.out;
}

TEST_F(VelrunCheck, MissingCashregIniIsTheFirstProblem) {
    fs::remove(workDir_ + "/cashreg.ini");
    const auto r = check();
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.out.find("\nResult: not ready: cashreg.ini not found (looked in ./, ./ini/, "
                         "../ini/, /home/it/"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("link test"), std::string::npos) << r.out;
}

// A line the library skips is a note; an operation whose line leaves out its
// type or index is a problem, unless a later line of its code replaces it.
TEST_F(VelrunCheck, OperationLinesAreNamedByFileAndNumber) {
    write("ops.ini",
          "; operations\n1=1,1,Pay\nabc=2,2,Refund\n\n3=7\n-4=4,4,Cancel\n5=,5,x\n5=5,5,y\n"
          "6=6,,z\n1234567890=1,1,x\n");
    const auto r = check();
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_NE(r.out.find("note     ops.ini line 3: the code is not a number of at most 9 digits; "
                         "the line is skipped"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("note     ops.ini line 6: the code is not a number"), std::string::npos);
    EXPECT_NE(r.out.find("note     ops.ini line 10: the code is not a number"), std::string::npos);
    EXPECT_NE(r.out.find("note     ops.ini line 8: code 5 again, replacing line 7"),
              std::string::npos);
    EXPECT_EQ(r.out.find("line 7: operation 5"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("PROBLEM  ops.ini line 9: operation 6 has no pinpad index"),
              std::string::npos);
    EXPECT_NE(r.out.find("note     operation table ./ops.ini: operations 1 3 5 6\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("\nResult: not ready: ops.ini line 5: operation 3 has no pinpad type "
                         "and index (CODE=TYPE,INDEX,NAME): a run of it sends its start message "
                         "without them\n"),
              std::string::npos);
    write("ops.ini", "; nothing\nx=1,1,Pay\n");
    EXPECT_NE(check().out.find("Result: not ready: ops.ini holds no operation"), std::string::npos);
}

TEST_F(VelrunCheck, ResultCodeTablesAndSettingsValuesAreChecked) {
    write("rc_conv.ini", "1=0\n7=x\n");
    auto r = check();
    EXPECT_NE(r.out.find("note     rc_conv.ini line 2: the converted code is not a number"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("note     result-code conversion ./rc_conv.ini: codes converted: 1\n"),
              std::string::npos);
    // No result from the pinpad (999) must never read as success.
    write("rc_conv.ini", "1=0\n999=0\n");
    EXPECT_NE(check().out.find("Result: not ready: rc_conv.ini line 2: code 999 means no result"),
              std::string::npos);
    write("rc_conv.ini", "1=0\n");
    write("cashreg.ini", "PORT=ETH\nPORT_IP=80a\nOPERATION_INI_FILE=ops.ini\nRC_RESOLVE_FILE=\n");
    r = check();
    EXPECT_NE(r.out.find("Result: not ready: PORT_IP is not a TCP port"), std::string::npos);
    EXPECT_NE(r.out.find("note     RC_RESOLVE_FILE is not set in cashreg.ini: result codes get "
                         "the default text"),
              std::string::npos)
        << r.out;
    write("cashreg.ini", "PORT=/dev/ttyNOSUCH9\nTIMEOUT=0\nOPERATION_INI_FILE=ops.ini\n");
    r = check();
    EXPECT_NE(r.out.find("Result: not ready: PORT names a serial device that does not exist: "
                         "/dev/ttyNOSUCH9"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("note     TIMEOUT=[0] is not in 1..60000 ms, 1000 is used"),
              std::string::npos)
        << r.out;
    // Without the setting a run waits the lock's default and warns of it.
    EXPECT_NE(r.out.find("note     PPAD_LOCK_TO=[] is not in 1..600000 ms, 5000 is used"),
              std::string::npos);
}

}  // namespace
}  // namespace velrun_test
