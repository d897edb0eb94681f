// What the pinpad and the settings may reach on disk, through the real
// velrun: the installation's own files are refused to "GETFILE:" and
// "PUTFILE:" and stay as they were, and a run file that is a link, a pipe
// nobody reads, a folder or a device is never deleted or written through.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <string>

#include "Installation.h"
#include "api/velpad.h"
#include "support/ChildProcess.h"

namespace {

using velrun_test::ChildResult;

struct Snapshot {
    std::string bytes;
    mode_t mode = 0;
};

class RunFilesE2E : public ::testing::Test {
protected:
    // One payment (operation 1 of 15.00) against a scenario.
    ChildResult Pay(Installation& install, const std::string& scenario) {
        std::string error;
        EXPECT_TRUE(install.StartPinpad(scenario, {}, false, &error)) << error;
        const ChildResult run = velrun_test::runChild(install.Payment());
        const ChildResult played = install.FinishPinpad();
        EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                             << install.Transcript();
        return run;
    }

    static Snapshot Take(const Installation& install, const std::string& name) {
        struct stat status {};
        lstat((install / name).c_str(), &status);
        return {install.Read(name), status.st_mode};
    }
};

// Every name the installation itself uses is refused both ways, whether or
// not the file exists yet, while an ordinary report still goes through.
TEST_F(RunFilesE2E, OwnFilesAreRefusedToTheFileRequests) {
    // Without exchange folders the pinpad's names fall into the work path.
    Installation install({"GETFILEPATH=", "PUTFILEPATH=", "TRACE_FILE=pinpad.trace"});
    install.Write("tms.ini", "12345 update.scr\n");
    install.Write("jl.txt", "3\n");
    install.Write("velrun", "#!/bin/sh\n");
    install.Write("libvelpad.so.1", "ELF");
    install.Write("tool.sh", "#!/bin/sh\n");
    install.Write("target.txt", "TARGET");
    chmod((install / "velrun").c_str(), 0750);
    chmod((install / "tool.sh").c_str(), 0750);
    ASSERT_EQ(symlink("target.txt", (install / "link.txt").c_str()), 0);
    // Files the run leaves as they are, and files it writes itself (the
    // test's pinpad port goes into cashreg.ini).
    const char* const kept[] = {"ops.ini", "rc_conv.ini", "rc_res.ini",     "darir.ini", "tms.ini",
                                "jl.txt",  "velrun",      "libvelpad.so.1", "tool.sh"};
    const char* const written[] = {
        "cashreg.ini",  "cheq.out",      "rc.out",          "output.out",
        "varenv.out",   "lastop.stb",    "lastop.stb.lock", "darir.log",
        "pinpad.trace", "Logs",          "libvelpad.so",    "link.txt",
        "ledger.db",    "ledger.db-wal", "darir.log.1",     "darir.log.12"};
    std::map<std::string, Snapshot> before;
    for (const char* name : kept) before[name] = Take(install, name);
    std::string scenario = "expect-start 1 1 643 15.00 \"\" \"\"\nsend \"BEGINTR:\"\nexpect OK\n";
    auto refuse = [&scenario](const std::string& name) {
        scenario += "send \"GETFILE:" + name + "\"\nexpect ER\n";
        scenario += "send \"PUTFILE:" + name + "\\x1cPLANTED\"\nexpect ER\n";
    };
    for (const char* name : kept) refuse(name);
    for (const char* name : written) refuse(name);
    scenario += "send \"PUTFILE:report.txt\\x1cREPORT\"\nexpect OK\n";
    scenario += "send \"GETFILE:report.txt\"\nexpect REPORT\n";
    scenario += "send \"STORERC:0\"\nexpect OK\nsend \"ENDTR\"\nexpect OK\n";
    install.Write("own_files.vps", scenario);

    const ChildResult run = Pay(install, install / "own_files.vps");
    EXPECT_NE(run.out.find("success=1"), std::string::npos) << run.out << run.err;
    for (const char* name : kept) {
        const Snapshot now = Take(install, name);
        EXPECT_EQ(now.bytes, before[name].bytes) << name;
        EXPECT_EQ(now.mode, before[name].mode) << name;
    }
    for (const char* name : written)
        EXPECT_EQ(install.Read(name).find("PLANTED"), std::string::npos) << name;
    EXPECT_EQ(install.Read("target.txt"), "TARGET");
    struct stat report {};
    ASSERT_EQ(stat((install / "report.txt").c_str(), &report), 0);
    EXPECT_EQ(install.Read("report.txt"), "REPORT");
    EXPECT_EQ(report.st_mode & 0117, 0u) << "a stored file carries no execute or others' rights";
    const std::string logs = install.Logs();
    EXPECT_NE(
        logs.find("ERROR: PutFile: file refused: [cashreg.ini] is a file of the installation"),
        std::string::npos);
    EXPECT_NE(logs.find("ERROR: SendFile: file refused: [link.txt] is a symbolic link"),
              std::string::npos);
    EXPECT_NE(logs.find("ERROR: SendFile: file refused: [Logs] is not a regular file"),
              std::string::npos);
}

// A run file path of each kind that cannot hold a file of the run: the run
// is refused before the start message, nothing at the path changes, and a
// link's target is never touched or created.
TEST_F(RunFilesE2E, LinksFoldersAndUnreadPipesAtRunFilesRefuseTheRun) {
    enum Kind { kLink, kDangling, kFifo, kFolder };
    struct Row {
        const char* path;  // the run file's name
        Kind kind;         // what is put there
        mode_t type;       // what must still be there after the run
        const char* logged;
    };
    const Row rows[] = {
        {"lastop.stb", kLink, S_IFLNK, "lastop.stb] is a symbolic link"},
        {"output.out", kLink, S_IFLNK, "output.out] is a symbolic link"},
        {"cheq.out", kLink, S_IFLNK, "cheq.out] is a symbolic link"},
        {"lastop.stb.lock", kDangling, S_IFLNK, ""},
        {"rc.out", kFifo, S_IFIFO, "rc.out] is a pipe nobody reads"},
        {"varenv.out", kFolder, S_IFDIR, "varenv.out] is not a regular file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        Installation install;
        install.Write("target.txt", "TARGET");
        const std::string at = install / row.path;
        const std::string target = install / (row.kind == kDangling ? "created" : "target.txt");
        const int made = row.kind == kFifo     ? mkfifo(at.c_str(), 0600)
                         : row.kind == kFolder ? mkdir(at.c_str(), 0700)
                                               : symlink(target.c_str(), at.c_str());
        ASSERT_EQ(made, 0);
        const ChildResult run = Pay(install, "nothing_sent.vps");
        EXPECT_NE(run.out.find("success=0"), std::string::npos) << run.out;
        EXPECT_EQ(install.Read("target.txt"), "TARGET");
        EXPECT_NE(access((install / "created").c_str(), F_OK), 0) << "a dangling link's target";
        struct stat status {};
        ASSERT_EQ(lstat(at.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & S_IFMT, row.type);
        EXPECT_NE(install.Logs().find(row.logged), std::string::npos);
    }
}

// A character device (a printer, /dev/null) and a pipe that a reader holds
// take the run's files as streams; neither is deleted or replaced.
TEST_F(RunFilesE2E, DeviceAndReadPipeTakeTheRunFilesAsStreams) {
    Installation install({"OUTPUT_FILE=printer", "CHEQ_FILE=slip.pipe"});
    const std::string printer = install / "printer";
    const bool device = mknod(printer.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    if (!device) install.Write("printer", "");  // without the right to make a device node
    ASSERT_EQ(mkfifo((install / "slip.pipe").c_str(), 0600), 0);
    // The test holds the pipe's reading end through the run; what the run
    // writes waits in the pipe until it is read after the run.
    const int reader = open((install / "slip.pipe").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const ChildResult run = Pay(install, "approved_payment.vps");
    std::string slip;
    char buffer[4096];
    for (ssize_t got; (got = read(reader, buffer, sizeof buffer)) > 0;) slip.append(buffer, got);
    close(reader);
    EXPECT_NE(run.out.find("success=1"), std::string::npos) << run.out << run.err;
    EXPECT_NE(slip.find("\xCE\xC4\xCE\xC1\xD0\xC5\xCD\xCE"), std::string::npos) << slip;
    struct stat status {};
    ASSERT_EQ(lstat((install / "slip.pipe").c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    ASSERT_EQ(lstat(printer.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & S_IFMT, device ? S_IFCHR : S_IFREG);
}

// Two pinpads behind relays on one register, picked per run by the caller's
// "ADDR_IP" (velrun has no option for it, so the library is called as a POS
// application calls it): each keeps its own status file and results, so the
// transaction left open on the first is cancelled on the first only.
TEST_F(RunFilesE2E, TwoRelaysInOneFolderKeepTheirOwnOpenTransactions) {
    Installation install;
    auto pay = [&install](const char* address, const char* scenario) {
        std::string error;
        EXPECT_TRUE(
            install.StartPinpad(scenario, {"--tcp", std::string(address) + ":0"}, false, &error))
            << error;
        WorkingDir cwd(install.Path());
        DARir* session = CreateDARir();
        for (const auto& [key, value] : {std::pair<const char*, const char*>{"amount", "1500"},
                                         {"currency", "643"},
                                         {"ADDR_IP", address}})
            DARirSet(session, key, value, -1);
        const int result = DARirRun(session, 1);
        DeleteDARir(session);
        const ChildResult played = install.FinishPinpad();
        EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                             << install.Transcript();
        return result;
    };
    EXPECT_NE(pay("127.0.0.2", "broken_after_begintr.vps"), 0);
    EXPECT_EQ(install.Read("lastop.stb-127.0.0.2"), std::string(1, '\x01'));
    // The second pinpad starts its payment at once: nothing of the first's is cancelled.
    EXPECT_EQ(pay("127.0.0.3", "approved_payment.vps"), 0);
    EXPECT_EQ(install.Read("lastop.stb-127.0.0.3"), std::string(1, '\x00'));
    EXPECT_EQ(install.Read("rc.out-127.0.0.3"), "000\n");
    EXPECT_EQ(install.Read("lastop.stb-127.0.0.2"), std::string(1, '\x01'));
    EXPECT_EQ(pay("127.0.0.2", "recovery_cancel.vps"), 0);
    EXPECT_EQ(install.Read("lastop.stb-127.0.0.2"), std::string(1, '\x00'));
    EXPECT_NE(access((install / "lastop.stb").c_str(), F_OK), 0);
}

}  // namespace
