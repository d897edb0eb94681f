// The size bound of a trace file: when it moves, how the numbered files
// follow, a move that fails, two writers of one file, the settings.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "ri/File.h"
#include "ri/Trace.h"
#include "ri/TraceRotation.h"
#include "support/TempDir.h"

namespace {

// An information line of the trace: 17 bytes of time stamp, " [INF] ", the
// text and a line feed, 100 bytes in all.
constexpr size_t kLine = 100;
constexpr size_t kText = kLine - 17 - 7 - 1;
const char kFailure[] = "trace rotation failed";

std::string Text(int number) {
    std::string text = "line " + std::to_string(number) + " ";
    return text + std::string(kText - text.size(), '.');
}

// The numbers of the lines in a file, "!" for the failure report: "3 ! 4",
// "-" when there is no such file (or a folder).
std::string Numbers(const std::string& path) {
    if (!ri::File::Exists(path)) return "-";
    std::istringstream in(ri::File::ReadFile(path));
    std::string numbers;
    for (std::string line; std::getline(in, line);) {
        if (!numbers.empty()) numbers += ' ';
        const size_t at = line.find("line ");
        if (line.find(kFailure) != std::string::npos)
            numbers += '!';
        else if (at != std::string::npos)
            numbers += line.substr(at + 5, line.find(' ', at + 5) - at - 5);
    }
    return numbers;
}

struct RotationCase {
    const char* name;
    std::int64_t limit;
    int keep;
    int lines;
    bool twoWriters;
    const char* obstacle;  // a folder at this name, "" for none
    // Lines of darir.log, darir.log.1, darir.log.2, darir.log.3.
    std::vector<std::string> files;
    int reports;  // failure reports on standard error
};

TEST(TraceRotation, SizeBoundKeptCountNumberingAndFailures) {
    const std::int64_t twoLines = 2 * kLine + kLine / 2;
    const RotationCase cases[] = {
        {"off", 0, 2, 7, false, "", {"1 2 3 4 5 6 7", "-", "-", "-"}, 0},
        {"two lines a file, two kept", twoLines, 2, 7, false, "", {"7", "5 6", "3 4", "-"}, 0},
        {"one kept", twoLines, 1, 7, false, "", {"7", "5 6", "-", "-"}, 0},
        {"a line longer than the limit has a file of its own",
         kLine / 2,
         3,
         5,
         false,
         "",
         {"5", "4", "3", "2"},
         0},
        {"two writers share the chain", twoLines, 3, 7, true, "", {"7", "5 6", "3 4", "1 2"}, 0},
        {"the file cannot move: reported once, nothing lost",
         twoLines,
         1,
         7,
         false,
         "darir.log.1",
         {"1 2 ! 3 4 5 6 7", "-", "-", "-"},
         1},
        {"a numbered file cannot move: the chain keeps its files",
         twoLines,
         2,
         7,
         false,
         "darir.log.2",
         {"3 4 ! 5 6 7", "1 2", "-", "-"},
         1},
    };
    for (const RotationCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        if (*c.obstacle != '\0') {
            ASSERT_EQ(mkdir((dir / c.obstacle).c_str(), 0700), 0);
            dir.Write(std::string(c.obstacle) + "/held", "");
        }
        // Two names of one file: two traces with a descriptor each, as two
        // processes appending to the same darir.log.
        ri::Trace* first = ri::Trace::Get(dir / "darir.log", 2, 0);
        ri::Trace* second = ri::Trace::Get(dir.Path() + "/./darir.log", 2, 0);
        first->SetRotation(ri::TraceRotation(c.limit, c.keep));
        second->SetRotation(ri::TraceRotation(c.limit, c.keep));
        testing::internal::CaptureStderr();
        for (int i = 1; i <= c.lines; ++i)
            (c.twoWriters && i % 2 == 0 ? second : first)->Info("%s", Text(i).c_str());
        const std::string errors = testing::internal::GetCapturedStderr();
        const std::vector<std::string> found = {
            Numbers(dir / "darir.log"), Numbers(dir / "darir.log.1"), Numbers(dir / "darir.log.2"),
            Numbers(dir / "darir.log.3")};
        EXPECT_EQ(found, c.files);
        size_t reports = 0;
        for (size_t at = errors.find(kFailure); at != std::string::npos;
             at = errors.find(kFailure, at + 1))
            ++reports;
        EXPECT_EQ(reports, static_cast<size_t>(c.reports)) << errors;
        // Below the limit, unless one line alone is longer or a move failed.
        const bool bounded = c.limit > static_cast<std::int64_t>(kLine) && *c.obstacle == '\0';
        for (const char* name : {"darir.log", "darir.log.1", "darir.log.2", "darir.log.3"}) {
            struct stat status {};
            if (bounded && stat((dir / name).c_str(), &status) == 0) {
                EXPECT_LE(status.st_size, c.limit) << name;
            }
        }
        // The traces live on in the registry; they write nowhere once the folder is gone.
        first->SetRotation(ri::TraceRotation());
        second->SetRotation(ri::TraceRotation());
    }
}

TEST(TraceRotation, Settings) {
    struct {
        const char* mebibytes;
        const char* keep;
        std::int64_t limit;
        int kept;
        bool problem;
    } const cases[] = {
        {"", "", 4 << 20, 5, false},       {"0", "", 0, 5, false},
        {" 16 ", "9", 16 << 20, 9, false}, {"1024", "99", 1024LL << 20, 99, false},
        {"-1", "0", 4 << 20, 5, true},     {"4M", "", 4 << 20, 5, true},
        {"1025", "100", 4 << 20, 5, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mebibytes) + "/" + c.keep);
        std::string problem;
        const ri::TraceRotation rotation =
            ri::TraceRotation::FromSettings(c.mebibytes, c.keep, &problem);
        EXPECT_EQ(rotation.Limit(), c.limit);
        EXPECT_EQ(rotation.Keep(), c.kept);
        EXPECT_EQ(!problem.empty(), c.problem) << problem;
    }
}

}  // namespace
