#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>
#include <sstream>
#include <thread>

#include "ri/File.h"
#include "ri/Trace.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ri::File::ReadFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Each test gets a trace of its own: the registry lives for the whole process.
ri::Trace* Fresh(const TempDir& dir, int level, int console) {
    return ri::Trace::Get(dir / "darir.log", level, console);
}

}  // namespace

TEST(Trace, LevelsAndPrefixes) {
    TempDir dir;
    ri::Trace* trace = Fresh(dir, 2, 0);
    EXPECT_EQ(2, trace->GetLogType());
    testing::internal::CaptureStdout();
    trace->Debug6("d6");
    trace->Debug5("d5");
    trace->Debug4("d4");
    trace->Debug("d3");
    trace->Info("info %d", 1);
    trace->Warning("warn");
    trace->Error("err %s", "x");
    trace->Fatal("fatal");
    const std::string console = testing::internal::GetCapturedStdout();
    const auto lines = Lines(dir / "darir.log");
    ASSERT_EQ(4u, lines.size());
    const std::string stamp = R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d)";
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(stamp + R"( \[INF\] info 1)")));
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(stamp + R"( \[WAR\] \* warn)")));
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(stamp + R"( \[ERR\] \*\*\* err x)")));
    EXPECT_TRUE(std::regex_match(lines[3], std::regex(stamp + R"( \[FATAL\] \*\*\*\*\* fatal)")));
    // Console level 0 echoes only error and fatal lines.
    EXPECT_EQ(lines[2] + "\n" + lines[3] + "\n", console);
}

TEST(Trace, RegistryKeepsFirstLevels) {
    TempDir dir;
    ri::Trace* trace = Fresh(dir, 6, -1);
    EXPECT_EQ(trace, Fresh(dir, 0, 0));
    EXPECT_EQ(6, trace->GetLogType());
    testing::internal::CaptureStdout();
    trace->Debug6("echoed");  // console level taken from the level
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStdout().find("[DBG] echoed"));
    EXPECT_NE(nullptr, ri::Trace::Get());
    EXPECT_EQ(ri::Trace::Get(), ri::Trace::Get("", 3, 3));
}

TEST(Trace, WriteTakesLevelFromBrackets) {
    TempDir dir;
    ri::Trace* trace = Fresh(dir, 2, -5);
    testing::internal::CaptureStdout();
    trace->Write("[[x %d", 2);
    trace->Write("[[[dropped");
    trace->Write("plain");
    testing::internal::GetCapturedStdout();
    const auto lines = Lines(dir / "darir.log");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(" [[x 2", lines[0].substr(17));
    EXPECT_EQ(" plain", lines[1].substr(17));
}

TEST(Trace, DumpPadsTheLastRow) {
    TempDir dir;
    ri::Trace* trace = Fresh(dir, 4, -5);
    std::string bytes;
    for (int i = 1; i <= 17; ++i) bytes += static_cast<char>(i);
    trace->Dump(bytes);
    const auto lines = Lines(dir / "darir.log");
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(" [DBG] 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10", lines[0].substr(17));
    EXPECT_EQ(" [DBG] 11 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", lines[1].substr(17));
    EXPECT_EQ("", lines[2]);

    TempDir quiet;
    Fresh(quiet, 3, -5)->Dump(bytes);
    EXPECT_FALSE(ri::File::Exists(quiet / "darir.log"));
}

TEST(Trace, Utf8Output) {
    TempDir dir;
    ri::Trace* trace = Fresh(dir, 2, -5);
    trace->SetEncoding("utf-8");
    trace->Info("\xCF\xF0\xE8\xE2\xE5\xF2");  // "Привет" in CP1251
    const auto lines = Lines(dir / "darir.log");
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(" [INF] \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", lines[0].substr(17));
}

TEST(Trace, ConcurrentSessionsShareOneTrace) {
    TempDir dir;
    const std::string name = dir / "shared.log";
    constexpr int kThreads = 8;
    constexpr int kLines = 200;
    std::vector<std::thread> threads;
    std::vector<ri::Trace*> seen(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            seen[t] = ri::Trace::Get(name, 2, -5);
            for (int i = 0; i < kLines; ++i) seen[t]->Info("thread %d line %d end", t, i);
        });
    }
    for (auto& thread : threads) thread.join();
    for (ri::Trace* trace : seen) EXPECT_EQ(seen[0], trace);
    const auto lines = Lines(name);
    ASSERT_EQ(static_cast<std::size_t>(kThreads * kLines), lines.size());
    const std::regex whole(R"(.{17} \[INF\] thread \d line \d+ end)");
    for (const auto& line : lines) ASSERT_TRUE(std::regex_match(line, whole)) << line;
}

// A text holding line breaks or other control bytes stays one line, so a
// peer cannot forge a line of its own.
TEST(Trace, ControlBytesAreEscapedSoOneEventIsOneLine) {
    TempDir dir;
    ri::Trace* trace = Fresh(dir, 6, 0);
    trace->Info("RECV <- %s", "A\nB\r\x1b\x7F\x01");
    trace->Write("[[[ %s", "x\ny");
    trace->WriteLogString(2, std::string("nul\0byte", 8));
    const auto lines = Lines(dir / "darir.log");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find(" [INF] RECV <- A\\x0AB\\x0D\\x1B\\x7F\\x01"), std::string::npos);
    EXPECT_NE(lines[1].find("[[[ x\\x0Ay"), std::string::npos);
    EXPECT_NE(lines[2].find("nul\\x00byte"), std::string::npos);
}

// The file stays open between lines; a session that finds its file removed
// (or its working directory changed) writes to a fresh file at the path, made
// without rights for others like every log.
TEST(Trace, FileRemovedBetweenSessionsIsMadeAfresh) {
    TempDir dir;
    ri::Trace* trace = Fresh(dir, 2, -5);
    trace->Info("first");
    ASSERT_EQ(Lines(dir / "darir.log").size(), 1u);
    ASSERT_TRUE(ri::File::Delete(dir / "darir.log"));
    EXPECT_EQ(trace, Fresh(dir, 2, -5));
    trace->Info("second");
    const auto lines = Lines(dir / "darir.log");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(17), " [INF] second");
    struct stat status {};
    ASSERT_EQ(stat((dir / "darir.log").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0007, 0u);
}

// Every line is in the file as soon as the call returns, and a dump comes as
// one block under one time stamp with its empty line after it.
TEST(Trace, LinesAndDumpsAreInTheFileAtOnce) {
    TempDir dir;
    ri::Trace* trace = Fresh(dir, 4, -5);
    trace->Info("before");
    EXPECT_EQ(Lines(dir / "darir.log").size(), 1u);
    trace->Dump(std::string(64, '\x7F'));
    const auto lines = Lines(dir / "darir.log");
    ASSERT_EQ(lines.size(), 6u);
    for (std::size_t row = 1; row <= 4; ++row) {
        EXPECT_EQ(lines[row].substr(0, 17), lines[1].substr(0, 17));
        EXPECT_EQ(lines[row].substr(17), " [DBG] 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F 7F");
    }
    EXPECT_EQ(lines[5], "");
}
