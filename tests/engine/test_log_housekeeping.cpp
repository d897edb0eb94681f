// The housekeeping of the engine's logs at the end of a run: by age, count and
// size, over the engine's own log names only, the newest log always kept.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "EngineFixture.h"

namespace {

constexpr long kDay = 86400;
constexpr size_t kKiB = 1024;

struct LogAge {
    double days;
    size_t kib;
};

struct HousekeepingCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> settings;
    std::vector<LogAge> logs;  // oldest first
    std::string left;          // per log, "1" kept and "0" deleted
};

// 240 logs spread over the last 30 days: more than the 200 files an earlier
// example kept, well below the default count.
std::vector<LogAge> BusyMonth() {
    std::vector<LogAge> logs;
    for (int i = 239; i >= 0; --i) logs.push_back({i / 8.0, 1});
    return logs;
}

class LogHousekeepingTest : public EngineFixture {
protected:
    // Names as the engine gives them (YYMMDDhhmmss.log), one per index.
    static std::string LogName(size_t index) {
        const std::string number = std::to_string(index);
        return "Logs/24010112" + std::string(4 - number.size(), '0') + number + ".log";
    }

    void Age(const std::string& name, double days) {
        const timespec changed{std::time(nullptr) - static_cast<std::time_t>(days * kDay), 0};
        const timespec times[2] = {changed, changed};
        ASSERT_EQ(utimensat(AT_FDCWD, Path(name).c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << name;
    }

    void MakeLogs(const std::vector<LogAge>& logs) {
        mkdir(Path("Logs").c_str(), 0770);
        for (size_t i = 0; i < logs.size(); ++i) {
            Write(LogName(i), std::string(logs[i].kib * kKiB, 'x'));
            Age(LogName(i), logs[i].days);
        }
        // What is no engine log stays, however old: another file, a link
        // with a log's name, a folder with a log's name.
        Write("Logs/notes.txt", "kept\n");
        Age("Logs/notes.txt", 400);
        ASSERT_EQ(symlink("notes.txt", Path("Logs/240101000001.log").c_str()), 0);
        Age("Logs/240101000001.log", 400);
        ASSERT_EQ(mkdir(Path("Logs/240101000002.log").c_str(), 0770), 0);
        Age("Logs/240101000002.log", 400);
    }

    std::string Left(size_t count) const {
        std::string left;
        for (size_t i = 0; i < count; ++i) left += Exists(LogName(i)) ? "1" : "0";
        return left;
    }
};

TEST_F(LogHousekeepingTest, AgeCountAndSize) {
    const HousekeepingCase cases[] = {
        {"by default 30 days, files of one second alike",
         {},
         {{40, 1}, {40, 1}, {31, 1}, {29, 1}, {0, 1}},
         "00011"},
        {"an installation's NDAYS", {{"NDAYS", "5"}}, {{7, 1}, {6, 1}, {4, 1}, {0, 1}}, "0011"},
        {"NDAYS=0 keeps any age, NFILES bounds the count",
         {{"NDAYS", "0"}, {"NFILES", "3"}},
         {{900, 1}, {800, 1}, {50, 1}, {2, 1}, {1, 1}},
         "00111"},
        {"the default count leaves a busy month alone", {}, BusyMonth(), std::string(240, '1')},
        {"NSIZE after NDAYS",
         {{"NDAYS", "5"}, {"NSIZE", "1"}},
         {{7, 600}, {6, 600}, {4, 600}, {3, 600}, {2, 600}, {1, 600}},
         "000001"},
        {"age, then count, then size",
         {{"NDAYS", "10"}, {"NFILES", "4"}, {"NSIZE", "2"}},
         {{20, 1}, {15, 1}, {9, 1}, {8, 1}, {7, 1024}, {6, 1024}, {5, 1}},
         "0000011"},
        {"the newest stays by age", {{"NDAYS", "1"}}, {{10, 1}, {9, 1}, {8, 1}}, "001"},
        {"the newest stays by size", {{"NSIZE", "1"}}, {{3, 1}, {2, 1}, {1, 2048}}, "001"},
    };
    for (const HousekeepingCase& c : cases) {
        SCOPED_TRACE(c.name);
        MakeLogs(c.logs);
        PPAD engine(&tags, {}, Dir());
        // Set after the engine is made, so that it writes no log of its own.
        engine.Settings().MakePair("USEAPPLOG", "1");
        for (const auto& [key, value] : c.settings) engine.Settings().MakePair(key, value);
        engine.LogsControl();
        EXPECT_EQ(Left(c.logs.size()), c.left);
        EXPECT_EQ(Read("Logs/notes.txt"), "kept\n");
        struct stat other {};
        EXPECT_EQ(lstat(Path("Logs/240101000001.log").c_str(), &other), 0);
        EXPECT_TRUE(S_ISLNK(other.st_mode));
        EXPECT_EQ(lstat(Path("Logs/240101000002.log").c_str(), &other), 0);
        EXPECT_TRUE(S_ISDIR(other.st_mode));
        for (size_t i = 0; i < c.logs.size(); ++i) unlink(Path(LogName(i)).c_str());
        unlink(Path("Logs/240101000001.log").c_str());
        rmdir(Path("Logs/240101000002.log").c_str());
    }
}

TEST_F(LogHousekeepingTest, NothingWhileTheEngineLogIsOff) {
    MakeLogs({{400, 1}, {300, 1}});
    PPAD engine(&tags, {}, Dir());
    engine.Settings().MakePair("NFILES", "1");
    engine.LogsControl();
    EXPECT_EQ(Left(2), "11");
}

}  // namespace
