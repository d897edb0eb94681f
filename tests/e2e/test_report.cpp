// velrun --report through the real velrun after real runs against the
// virtual pinpad: what the bundle holds (listed and unpacked by tar itself),
// the secret of cashreg.ini blanked, no card data; the refusal when a file
// holds card data in clear, with nothing written; the bounded check; the
// command line and a target that cannot be written.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "Installation.h"
#include "support/ChildProcess.h"

namespace {

using velrun_test::ChildOptions;
using velrun_test::ChildResult;

const char kBundle[] = "velrun-report/";

ChildResult Tar(const Installation& install, const std::vector<std::string>& args) {
    ChildOptions tar;
    tar.program = "/bin/tar";
    tar.args = args;
    tar.workDir = install.Path();
    return velrun_test::runChild(tar);
}

void Pay(Installation& install, const std::string& scenario) {
    std::string error;
    ASSERT_TRUE(install.StartPinpad(scenario, {}, false, &error)) << error;
    const ChildResult run = velrun_test::runChild(install.Payment());
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << install.Transcript();
}

// The names in the folder that start with `start`.
std::vector<std::string> NamesStarting(const Installation& install, const std::string& start) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(install.Path().c_str())) {
        while (const dirent* entry = readdir(dir))
            if (std::string(entry->d_name).rfind(start, 0) == 0) names.push_back(entry->d_name);
        closedir(dir);
    }
    return names;
}

// The engine logs, by name (the start time of their run, to the second).
std::set<std::string> EngineLogs(const Installation& install) {
    std::set<std::string> logs;
    if (DIR* dir = opendir((install / "Logs").c_str())) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') logs.insert(entry->d_name);
        closedir(dir);
    }
    return logs;
}

// After a payment and a decline the bundle holds every part support needs,
// secrets blanked and no card number; a card number planted in the newest
// engine log then refuses the next bundle, named by file and offset.
TEST(ReportE2E, BundleAfterPaymentAndDeclineThenRefusalForCardData) {
    Installation install({"BANK_PASSWORD=hunter2", "api_key = s3cr3t"});
    Pay(install, "approved_payment.vps");
    Pay(install, "declined_payment.vps");
    const ChildResult report = install.Velrun({"--report", "bundle.tar.gz"});
    ASSERT_EQ(report.exitStatus, 0) << report.err;
    EXPECT_NE(report.out.find("report written to bundle.tar.gz"), std::string::npos) << report.out;
    struct stat status {};
    ASSERT_EQ(stat((install / "bundle.tar.gz").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0077, 0u) << "the bundle is readable by others";

    const ChildResult listed = Tar(install, {"tzf", "bundle.tar.gz"});
    ASSERT_EQ(listed.exitStatus, 0) << listed.err;
    std::set<std::string> names;
    std::set<std::string> logs;
    const std::string logFolder = std::string(kBundle) + "logs/";
    for (std::size_t at = 0, end; (end = listed.out.find('\n', at)) != std::string::npos;
         at = end + 1) {
        const std::string name = listed.out.substr(at, end - at);
        names.insert(name);
        if (name.rfind(logFolder, 0) == 0) logs.insert(name.substr(logFolder.size()));
    }
    for (const char* part :
         {"check.txt", "versions.txt", "contents.txt", "devices.txt", "ledger.txt", "ledger.json",
          "settings/cashreg.ini", "settings/darir.ini", "settings/ops.ini", "settings/rc_conv.ini",
          "settings/rc_res.ini", "trace/darir.log", "run/lastop.stb", "run/rc.out", "run/cheq.out",
          "run/output.out", "run/varenv.out"})
        EXPECT_EQ(names.count(kBundle + std::string(part)), 1u) << part << "\n" << listed.out;
    // Two runs in the same second share one log.
    EXPECT_EQ(logs, EngineLogs(install)) << listed.out;
    EXPECT_FALSE(logs.empty());

    ASSERT_EQ(Tar(install, {"xzf", "bundle.tar.gz"}).exitStatus, 0);
    std::string all;
    for (const std::string& name : names) all += install.Read(name);
    const std::string settings = install.Read(std::string(kBundle) + "settings/cashreg.ini");
    EXPECT_NE(settings.find("\nBANK_PASSWORD=<blanked>\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("\napi_key = <blanked>\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("\nPORT=ETH\n"), std::string::npos) << settings;
    EXPECT_EQ(all.find("hunter2"), std::string::npos);
    EXPECT_EQ(all.find("s3cr3t"), std::string::npos);
    EXPECT_FALSE(std::regex_search(all, std::regex("[0-9]{13}")));
    const std::string ledger = install.Read(std::string(kBundle) + "ledger.txt");
    EXPECT_NE(ledger.find("outcome=approved"), std::string::npos) << ledger;
    EXPECT_NE(ledger.find("outcome=declined"), std::string::npos) << ledger;
    EXPECT_NE(ledger.find("card=4276********1234"), std::string::npos) << ledger;
    const std::string check = install.Read(std::string(kBundle) + "check.txt");
    EXPECT_NE(check.find("link test (TEST_PING) failed"), std::string::npos) << check;
    EXPECT_NE(check.find("(exit status 2)"), std::string::npos) << check;
    const std::string versions = install.Read(std::string(kBundle) + "versions.txt");
    EXPECT_NE(versions.find("runner: velrun "), std::string::npos) << versions;
    EXPECT_NE(versions.find("plug-in: not found\n"), std::string::npos) << versions;
    EXPECT_EQ(install.Read(std::string(kBundle) + "run/rc.out"), install.Read("rc.out"));

    const std::string log = "Logs/" + *EngineLogs(install).rbegin();
    const std::string before = install.Read(log);
    install.Write(log, before + "amount 1500 card 4111111111111111\n");
    const ChildResult refused = install.Velrun({"--report", "second.tar.gz"});
    EXPECT_EQ(refused.exitStatus, 2);
    const std::string offset = std::to_string(before.size() + 17);
    EXPECT_NE(refused.err.find(log + " holds a card number in clear at byte offset " + offset),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.err.find("4111"), std::string::npos) << refused.err;
    EXPECT_EQ(NamesStarting(install, "second.tar.gz"), std::vector<std::string>());
}

struct Planted {
    const char* file;
    const char* text;
    const char* named;  // how the refusal names the file
};

// Card data in any file the bundle takes refuses it, and nothing is written.
TEST(ReportE2E, CardDataInAnyBundledFileRefusesTheBundle) {
    const Planted planted[] = {
        {"Logs/261209063829.log", "START\nPAN 4111 1111 1111 1111\n", "./Logs/261209063829.log"},
        {"trace.txt", "read ;4276123456781234=25121010000?\n", "./trace.txt"},
        {"darir.log", "%B4111111111111111^TEST/CARD^2512\n", "darir.log"},
        {"darir.log.1", "old 4276123456781234D2512\n", "darir.log.1"},
        {"cheq.out", "CARD 5500-0055-5555-5559\n", "./cheq.out"},
        {"rc_res.ini", "; test card 4111111111111111\n0=OK\n", "./rc_res.ini"},
    };
    for (const Planted& plant : planted) {
        SCOPED_TRACE(plant.file);
        Installation install;
        ASSERT_EQ(mkdir((install / "Logs").c_str(), 0750), 0);
        install.Write(plant.file, plant.text);
        const ChildResult refused = install.Velrun({"--report", "bundle.tar.gz"});
        EXPECT_EQ(refused.exitStatus, 2);
        EXPECT_NE(refused.err.find(std::string("velrun: ") + plant.named + " holds "),
                  std::string::npos)
            << refused.err;
        EXPECT_NE(refused.err.find("nothing was written"), std::string::npos) << refused.err;
        EXPECT_FALSE(std::regex_search(refused.err, std::regex("[0-9]{13}"))) << refused.err;
        EXPECT_EQ(NamesStarting(install, "bundle.tar.gz"), std::vector<std::string>());
    }
}

// A link test that would wait for the pinpad's lock for ten minutes is
// stopped at the check's bound, and the bundle keeps what the check found
// before it.
TEST(ReportE2E, CheckIsBoundedInTime) {
    Installation install({"PPAD_LOCK_TO=600000"});
    const int lock = open((install / "lastop.stb.lock").c_str(), O_RDWR | O_CREAT, 0640);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
    const auto started = std::chrono::steady_clock::now();
    const ChildResult report = install.Velrun({"--report", "bundle.tar.gz"});
    const auto took = std::chrono::steady_clock::now() - started;
    close(lock);
    ASSERT_EQ(report.exitStatus, 0) << report.err;
    EXPECT_LT(took, std::chrono::seconds(40));
    ASSERT_EQ(Tar(install, {"xzf", "bundle.tar.gz"}).exitStatus, 0);
    const std::string check = install.Read(std::string(kBundle) + "check.txt");
    EXPECT_NE(check.find("files of a run"), std::string::npos) << check;
    EXPECT_NE(check.find("the check was stopped after 20 s"), std::string::npos) << check;
}

// A bad command line is 1; a target that cannot be written is 2, with no
// file left behind.
TEST(ReportE2E, CommandLineAndUnwritableTarget) {
    Installation install;
    EXPECT_EQ(install.Velrun({"--report"}).exitStatus, 1);
    EXPECT_EQ(install.Velrun({"--report", "a.tar.gz", "b.tar.gz"}).exitStatus, 1);
    EXPECT_EQ(install.Velrun({"--report", ""}).exitStatus, 1);
    const ChildResult missing = install.Velrun({"--report", "no/such/folder/bundle.tar.gz"});
    EXPECT_EQ(missing.exitStatus, 2);
    EXPECT_NE(missing.err.find("could not be written"), std::string::npos) << missing.err;
    ASSERT_EQ(mkdir((install / "taken").c_str(), 0750), 0);
    const ChildResult folder = install.Velrun({"--report", "taken"});
    EXPECT_EQ(folder.exitStatus, 2);
    EXPECT_NE(folder.err.find("rename"), std::string::npos) << folder.err;
    EXPECT_EQ(NamesStarting(install, "taken."), std::vector<std::string>());
}

}  // namespace
