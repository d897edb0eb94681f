// Files exchanged with the pinpad through the real velrun: a configuration
// file fetched and a report stored, both binary and as large as one frame
// carries, the TMS identifier and script, and names that are refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "Installation.h"
#include "support/ChildProcess.h"

namespace {

using velrun_test::ChildOptions;
using velrun_test::ChildResult;

// Every byte value, zeros included.
std::string Binary(size_t size, int seed) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * seed + i / 256) & 0xFF);
    return data;
}

class FileTransferE2E : public ::testing::Test {
protected:
    FileTransferE2E() : install_({"GETFILEPATH=config/", "PUTFILEPATH=reports/"}) {
        mkdir((install_ / "config").c_str(), 0777);
        mkdir((install_ / "reports").c_str(), 0777);
    }

    // Plays a scenario against one velrun run of operation 12.
    ChildResult Play(const std::string& scenario, const std::vector<std::string>& args) {
        std::string error;
        EXPECT_TRUE(install_.StartPinpad(scenario, args, false, &error)) << error;
        ChildOptions velrun;
        velrun.program = VELRUN_PATH;
        velrun.args = {"--command", "12"};
        velrun.workDir = install_.Path();
        const ChildResult run = velrun_test::runChild(velrun);
        const ChildResult played = install_.FinishPinpad();
        EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                             << install_.Transcript();
        return run;
    }

    Installation install_;
};

TEST_F(FileTransferE2E, ConfigurationFetchedAndReportStoredWholeFrames) {
    // The largest payloads one frame carries: the whole file for GETFILE,
    // the command, name and separator besides the contents for PUTFILE.
    const std::string config = Binary(0xFFFF, 7);
    const std::string report = Binary(0xFFFF - std::string("PUTFILE:report.bin\x1c").size(), 13);
    install_.Write("config/config.bin", config);
    install_.Write("report_source.bin", report);
    install_.Write("reports/report.bin", "AN OLDER REPORT");
    install_.Write("tms.ini", "12345 update.scr\n");
    const ChildResult run = Play("file_exchange.vps", {"--var", "CONFIG_SOURCE=config/config.bin"});
    EXPECT_NE(run.out.find("success=1"), std::string::npos) << run.out << run.err;
    EXPECT_TRUE(install_.Read("reports/report.bin") == report) << "the stored report differs";
    EXPECT_NE(install_.Logs().find("PutFile: data put"), std::string::npos);
}

TEST_F(FileTransferE2E, NamesOutsideTheExchangeDirectoriesAreRefused) {
    const ChildResult run = Play("file_refusals.vps", {"--var", "INSTALL_DIR=" + install_.Path()});
    EXPECT_NE(run.out.find("success=1"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(install_.Read("reports/plain.txt"), "PLAIN");
    EXPECT_EQ(install_.Read("planted.txt"), "");
    const std::string logs = install_.Logs();
    EXPECT_NE(logs.find("ERROR: SendFile: file name refused: [../cashreg.ini]"), std::string::npos);
    EXPECT_NE(logs.find("ERROR: PutFile: file name refused: [../cashreg.ini]"), std::string::npos);
    EXPECT_NE(logs.find("SendFile: open file error"), std::string::npos);
    EXPECT_NE(logs.find("PutFile: no delimetr :("), std::string::npos);
    EXPECT_EQ(install_.Read("cashreg.ini").find("BROKEN"), std::string::npos);
}

}  // namespace
