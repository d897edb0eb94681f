// Files fetched and stored by the pinpad in the exchange directories, the
// names it may use, and the terminal-management identifier and script.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "EngineFixture.h"
#include "ri/File.h"
#include "support/TestTrace.h"

namespace {

class FileTransferTest : public EngineFixture {
protected:
    void SetUp() override {
        Ini("USEAPPLOG=1\nLOG_FOLDER_NAME=Logs\nGETFILEPATH=in/\nPUTFILEPATH=out/\n");
        mkdir(Path("in").c_str(), 0777);
        mkdir(Path("out").c_str(), 0777);
    }
    std::string AppLog() {
        const auto logs = ri::File::GetFilesList(Path("Logs/"));
        return logs.empty() ? "" : Read("Logs/" + logs.front());
    }
    std::string Reply(const std::string& command) {
        Engine().ProcessCommand(command);
        return Sent().empty() ? "<nothing>" : Sent().back();
    }
};

// Every byte value, zeros included, as binary file contents.
std::string Binary(size_t size) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return data;
}

TEST_F(FileTransferTest, GetFileSendsTheBytesOfTheFileUpToAWholeFrame) {
    Write("in/ten.bin", std::string("\x00\x01\x02\x1b\x1c\xff"
                                    "abcd",
                                    10));
    EXPECT_EQ(Reply("GETFILE:ten.bin"), std::string("\x00\x01\x02\x1b\x1c\xff"
                                                    "abcd",
                                                    10));
    for (const std::string& line :
         {std::string("SendFile: ten.bin"), "GetFile: opening ... " + Path("in/ten.bin"),
          std::string("SendFile: got 10 bytes")})
        EXPECT_NE(AppLog().find(line), std::string::npos) << line;
    Write("in/full.bin", Binary(0xFFFF));
    EXPECT_EQ(Reply("GETFILE:full.bin"), Binary(0xFFFF));
    Write("in/empty.bin", "");
    EXPECT_EQ(Reply("GETFILE:empty.bin"), "OK");
}

// File names come from the pinpad: a card number in one is masked in the
// engine log like any other pinpad text.
TEST_F(FileTransferTest, CardNumbersInFileNamesAreMaskedInTheLog) {
    Write("in/4276123456781234.bin", "X");
    EXPECT_EQ(Reply("GETFILE:4276123456781234.bin"), "X");
    EXPECT_EQ(Reply("PUTFILE:4276123456781234.txt\x1CY"), "OK");
    EXPECT_EQ(Read("out/4276123456781234.txt"), "Y");
    EXPECT_EQ(AppLog().find("4276123456781234"), std::string::npos);
    for (const std::string& line : {std::string("SendFile: 427612******1234.bin"),
                                    "GetFile: opening ... " + Path("in/427612******1234.bin"),
                                    std::string("PutFile:427612******1234.txt")})
        EXPECT_NE(AppLog().find(line), std::string::npos) << line;
}

TEST_F(FileTransferTest, GetFileRefusesMissingAndOversizedFiles) {
    const size_t traced = TestTraceText().size();
    EXPECT_EQ(Engine().ProcessCommand("GETFILE:missing.bin"), -2);
    EXPECT_EQ(Sent().back(), "ER");
    EXPECT_NE(TestTraceText().find("[ERR] *** SendFile: open file error.", traced),
              std::string::npos);
    Write("in/big.bin", Binary(0x10000));
    EXPECT_EQ(Engine().ProcessCommand("GETFILE:big.bin"), -2);
    EXPECT_EQ(Sent().back(), "ER");
    EXPECT_NE(AppLog().find("SendFile: open file error"), std::string::npos);
    EXPECT_NE(AppLog().find("file larger than 65535 bytes"), std::string::npos);
}

// A directory has no contents to send, and a pipe without a writer would
// hold the request unanswered: both are answered "ER" at once.
TEST_F(FileTransferTest, GetFileRefusesWhatIsNoRegularFile) {
    mkdir(Path("in/sub").c_str(), 0777);
    ASSERT_EQ(mkfifo(Path("in/pipe").c_str(), 0666), 0);
    EXPECT_EQ(Reply("GETFILE:sub"), "ER");
    EXPECT_EQ(Reply("GETFILE:pipe"), "ER");
    EXPECT_NE(AppLog().find("ERROR: SendFile: file refused: [pipe] is not a regular file"),
              std::string::npos);
}

TEST_F(FileTransferTest, NamesReachingOutsideTheExchangeDirectoryAreRefused) {
    Write("secret", "SECRET");
    Write("in/plain.txt", "PLAIN");
    for (const std::string& name :
         {std::string("../secret"), std::string(".."), Path("secret"), std::string("/etc/passwd"),
          std::string("sub/plain.txt"), std::string("sub\\plain.txt"), std::string("."),
          std::string(""), std::string("plain.txt\0x", 11)}) {
        EXPECT_EQ(Reply("GETFILE:" + name), "ER") << name;
        EXPECT_EQ(Reply("PUTFILE:" + name + "\x1cHACK"), "ER") << name;
    }
    EXPECT_EQ(Read("secret"), "SECRET");
    EXPECT_EQ(Read("in/plain.txt"), "PLAIN");
    EXPECT_TRUE(ri::File::GetFilesList(Path("out/")).empty());
    EXPECT_NE(AppLog().find("ERROR: SendFile: file name refused: [../secret]"), std::string::npos);
    EXPECT_NE(AppLog().find("ERROR: PutFile: file name refused: [/etc/passwd]"), std::string::npos);
    EXPECT_EQ(Reply("GETFILE:plain.txt"), "PLAIN");
}

TEST_F(FileTransferTest, PutFileWritesAndReplacesTheFile) {
    EXPECT_EQ(Reply(std::string("PUTFILE:a.txt\x1c\x01\x02")), "OK");
    EXPECT_EQ(Read("out/a.txt"), "\x01\x02");
    for (const std::string& line :
         {std::string("PutFile:a.txt"), "PutFile: opening ... " + Path("out/a.txt"),
          std::string("PutFile: data put")})
        EXPECT_NE(AppLog().find(line), std::string::npos) << line;
    EXPECT_EQ(Reply("PUTFILE:a.txt\x1c" + Binary(0xFFF0)), "OK");
    EXPECT_EQ(Read("out/a.txt"), Binary(0xFFF0));
    EXPECT_EQ(Reply("PUTFILE:a.txt\x1c"), "OK");
    EXPECT_EQ(Read("out/a.txt"), "");
    EXPECT_EQ(ri::File::GetFilesList(Path("out/")).size(), 1u);
}

TEST_F(FileTransferTest, PutFileWithoutSeparatorWritesNothing) {
    EXPECT_EQ(Engine().ProcessCommand("PUTFILE:a.txt"), -2);
    EXPECT_EQ(Sent().back(), "ER");
    EXPECT_FALSE(Exists("out/a.txt"));
    EXPECT_NE(AppLog().find("PutFile: no delimetr :("), std::string::npos);
}

TEST_F(FileTransferTest, PutFileIntoAMissingDirectoryAnswersError) {
    Ini("PUTFILEPATH=nowhere/\n");
    const size_t traced = TestTraceText().size();
    EXPECT_EQ(Reply("PUTFILE:a.txt\x1c"
                    "data"),
              "ER");
    EXPECT_NE(AppLog().find("ERROR: PutFile: create: "), std::string::npos);
    EXPECT_NE(TestTraceText().find("[ERR] *** GetFile: open file error.", traced),
              std::string::npos);
}

// A write that fails half way (here the file-size limit of the process
// stands in for a full disk) leaves the old file whole and no temporary.
TEST_F(FileTransferTest, PutFileThatFailsHalfWayKeepsTheOldFile) {
    Write("out/report.txt", "OLD REPORT");
    PPAD& engine = Engine();
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const int result = engine.ProcessCommand("PUTFILE:report.txt\x1c" + Binary(20000));
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_EQ(result, -2);
    EXPECT_EQ(Sent().back(), "ER");
    EXPECT_EQ(Read("out/report.txt"), "OLD REPORT");
    EXPECT_EQ(ri::File::GetFilesList(Path("out/")), std::vector<std::string>{"report.txt"});
}

TEST_F(FileTransferTest, WithoutSettingsTheWorkPathIsTheExchangeDirectory) {
    Ini("GETFILEPATH=\nPUTFILEPATH=\n");
    Write("conf.ini", "X=1\n");
    EXPECT_EQ(Reply("GETFILE:conf.ini"), "X=1\n");
    EXPECT_EQ(Reply("PUTFILE:rep.txt\x1cR"), "OK");
    EXPECT_EQ(Read("rep.txt"), "R");
}

TEST_F(FileTransferTest, DirectoryWithoutFinalSlashIsGluedToTheName) {
    Ini("GETFILEPATH=in\n");
    Write("inconf.ini", "GLUED");
    EXPECT_EQ(Reply("GETFILE:conf.ini"), "GLUED");
}

TEST_F(FileTransferTest, TmsIdentifierAndScriptAreTheFirstTwoWords) {
    Write("tms.ini", "12345\n  update.scr extra\n");
    EXPECT_EQ(Reply("TMSID:"), "12345");
    EXPECT_EQ(Reply("TMSSCRIPT:"), "update.scr");
    Write("tms.ini", "12345");
    EXPECT_EQ(Reply("TMSSCRIPT:"), "OK");
    std::remove(Path("tms.ini").c_str());
    EXPECT_EQ(Reply("TMSID:"), "ER");
    EXPECT_EQ(Reply("TMSSCRIPT:"), "ER");
}

// A word longer than one frame carries cannot be sent: the request is
// answered ER rather than left without a reply.
TEST_F(FileTransferTest, TmsWordTooLongForAFrameIsAnsweredError) {
    Write("tms.ini", "12345 " + std::string(0x10000, 's'));
    EXPECT_EQ(Reply("TMSSCRIPT:"), "ER");
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_NE(AppLog().find("ERROR: TMS word of 65536 bytes does not fit a frame"),
              std::string::npos);
    EXPECT_EQ(Reply("TMSID:"), "12345");
}

}  // namespace
