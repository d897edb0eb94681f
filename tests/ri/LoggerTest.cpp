#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <regex>

#include "ri/File.h"
#include "ri/FileWritter.h"
#include "ri/Logger.h"
#include "ri/Trace.h"
#include "support/TempDir.h"

namespace {

// The engine log copies its messages to the default trace; give it one in
// the test's own directory so nothing is written elsewhere.
ri::Trace* TraceIn(const TempDir& dir) {
    return ri::Trace::Get(dir / "darir.log", 6, -5);
}

std::string OnlyLog(const std::string& directory) {
    const auto names = ri::File::GetFilesList(directory + "/", {"log"});
    return names.size() == 1 ? directory + "/" + names[0] : std::string();
}

}  // namespace

TEST(Logger, FileNamedAfterStartTime) {
    TempDir dir;
    Logger logger(TraceIn(dir));
    logger.SetPath(dir.Path() + "\\Logs", 770, Logger::TIME_DEFAULT);
    logger.Write("SEND -> %s", "PING");
    logger.Write(std::string("cut\0here", 8));
    const std::string path = OnlyLog(dir / "Logs");
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(std::regex_match(ri::File::GetFileName(path), std::regex(R"(\d{12}\.log)")));
    const std::string stamp = R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d )";
    EXPECT_TRUE(std::regex_match(ri::File::ReadFile(path),
                                 std::regex(stamp + "SEND -> PING\n" + stamp + "cut\n")));
    const std::string trace = ri::File::ReadFile(dir / "darir.log");
    EXPECT_NE(std::string::npos, trace.find("[DBG] LogMessage: SEND -> PING"));
}

TEST(Logger, ControlBytesAreEscapedAndTheFileIsNotWorldReadable) {
    TempDir dir;
    Logger logger(TraceIn(dir));
    logger.SetPath(dir / "Logs", 770, Logger::TIME_DEFAULT);
    logger.Write("RECV <- %s", "00012345\n2021/12/31 23:59:58 forged\r");
    const std::string path = OnlyLog(dir / "Logs");
    ASSERT_FALSE(path.empty());
    const std::string log = ri::File::ReadFile(path);
    EXPECT_NE(log.find(" RECV <- 00012345\\x0A2021/12/31 23:59:58 forged\\x0D\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777 & ~0640u, 0u);
}

TEST(Logger, ErrorsGoToTheTraceAndStopEndsLogging) {
    TempDir dir;
    ri::Trace* trace = TraceIn(dir);
    Logger logger(trace);
    logger.SetPath(dir / "Logs/", 770, Logger::TIME_EPOCH_MS);
    logger.Write("ERROR: no answer");
    logger.Stop();
    logger.Write("after stop");
    const std::string path = OnlyLog(dir / "Logs");
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(
        std::regex_match(ri::File::ReadFile(path), std::regex(R"(\d{13} ERROR: no answer\n)")));
    EXPECT_NE(std::string::npos, ri::File::ReadFile(trace->GetPath()).find("[ERR] *** no answer"));
}

TEST(Logger, UnwritableDirectoryKeepsRunning) {
    TempDir dir;
    TraceIn(dir);
    ri::File::WriteFile(dir / "plain", "");
    Logger logger(TraceIn(dir));
    logger.SetPath(dir / "plain/Logs", 770, Logger::TIME_DEFAULT);
    logger.Write("lost");
    EXPECT_NE(std::string::npos, ri::File::ReadFile(dir / "darir.log").find("can't create folder"));
}

TEST(Logger, StampModes) {
    EXPECT_TRUE(std::regex_match(Logger::Stamp(Logger::TIME_COMPACT_MS),
                                 std::regex(R"(\d{8} \d{6}\.\d{3})")));
    EXPECT_TRUE(std::regex_match(Logger::Stamp(Logger::TIME_EPOCH_MS), std::regex(R"(\d{13})")));
    EXPECT_TRUE(std::regex_match(Logger::GetCurrentDateTime(), std::regex(R"(\d{12})")));
}

TEST(FileWritter, KeyValueLinesAndResults) {
    TempDir dir;
    const std::string path = dir / "result.txt";
    FileWritter writer;
    EXPECT_EQ(-1, writer.Write("RESULTCODE", "0"));  // no path yet
    EXPECT_EQ(-1, writer.Close());
    EXPECT_EQ(-1, writer.Open(""));
    EXPECT_EQ(0, writer.Open(path));
    EXPECT_EQ(-1, writer.Open(path));
    EXPECT_EQ(0, writer.Write("RESULTCODE", "0"));
    EXPECT_EQ(0, writer.Write(std::string("RRN"), "1"));
    EXPECT_EQ(-1, writer.Write("", true));
    EXPECT_EQ(0, writer.WriteChar('x'));
    EXPECT_EQ(0, writer.Close());
    EXPECT_EQ("RESULTCODE=0\nRRN=1\nx", ri::File::ReadFile(path));
    EXPECT_EQ(0, writer.Write("again", false));  // reopens, truncating
    EXPECT_EQ("again\n", ri::File::ReadFile(path));
    EXPECT_EQ(-1, FileWritter().Open(dir / "no/dir/file"));
}

TEST(FileWritter, TimeStampEncoderAndSharedLog) {
    TempDir dir;
    Logger logger(TraceIn(dir));
    logger.SetPath(dir / "Logs", 770, Logger::TIME_DEFAULT);
    FileWritter writer;
    writer.ShareLog(&logger);
    EXPECT_NE(0, writer.useCharsetEncoder("CP1251", "NO-SUCH"));
    ASSERT_EQ(0, writer.Open(dir / "cheq.out", Logger::TIME_DEFAULT));
    EXPECT_EQ(0, writer.Write("\xCF\xF0\xE8\xE2\xE5\xF2", false));  // unconverted
    EXPECT_EQ(0, writer.useCharsetEncoder("CP1251", "UTF-8"));
    EXPECT_EQ(0, writer.Write("\xCF\xF0\xE8\xE2\xE5\xF2", true));
    writer.Close();
    const std::string text = ri::File::ReadFile(dir / "cheq.out");
    EXPECT_TRUE(std::regex_match(
        text, std::regex("\xCF\xF0\xE8\xE2\xE5\xF2\n\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d "
                         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n")));
    const std::string log = ri::File::ReadFile(OnlyLog(dir / "Logs"));
    EXPECT_NE(std::string::npos, log.find("[] encoder open result: [-1]"));
    EXPECT_NE(std::string::npos, log.find("[cheq.out] open result: [0]"));
    EXPECT_NE(std::string::npos, log.find("[cheq.out] write result: [0]"));
    EXPECT_NE(std::string::npos, log.find("[cheq.out] close result: [0]"));
}

// The tag dump: rows of 16 under one time stamp, flushed at once, each row
// copied to a trace at level 6 as any other message.
TEST(Logger, DumpWritesEveryRowAtOnce) {
    TempDir dir;
    Logger logger(TraceIn(dir));
    logger.SetPath(dir / "Logs", 770, Logger::TIME_DEFAULT);
    logger.Dump(std::string("\x9F\x1C\x08TERM0001\x7F", 12) + std::string(20, 'A'));
    const std::string path = OnlyLog(dir / "Logs");
    ASSERT_FALSE(path.empty());
    const std::string stamp = R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d )";
    const std::string log = ri::File::ReadFile(path);
    EXPECT_TRUE(std::regex_match(
        log, std::regex(stamp +
                        R"(9F 1C 08 54 45 52 4D 30 30 30 31 7F 41 41 41 41 \.\.\.TERM0001\\x7FAAAA
)" + stamp + R"(41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 AAAAAAAAAAAAAAAA
)"))) << log;
    const std::string trace = ri::File::ReadFile(dir / "darir.log");
    EXPECT_NE(trace.find("LogMessage: 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 AAAA"),
              std::string::npos);
}
