// Whole-file replacement through a temporary file beside the target.
#include <gtest/gtest.h>
#include <unistd.h>

#include "ri/File.h"
#include "ri/ReplaceFile.h"
#include "support/TempDir.h"

namespace {

// The first temporary name tried for a file of the directory.
std::string FirstTemporary(const TempDir& dir, const std::string& name) {
    return dir / ("." + name + "." + std::to_string(getpid()) + ".tmp");
}

// Whatever already holds the temporary name (a link planted by someone who
// guessed it, another writer's file) is neither written through nor removed.
TEST(ReplaceFile, NeverWritesThroughWhatHoldsTheTemporaryName) {
    TempDir dir;
    const std::string victim = dir.Write("victim", "VICTIM");
    ASSERT_EQ(symlink(victim.c_str(), FirstTemporary(dir, "report.txt").c_str()), 0);
    EXPECT_TRUE(ri::ReplaceFile(dir / "report.txt", "NEW"));
    EXPECT_EQ(ri::File::ReadFile(dir / "report.txt"), "NEW");
    EXPECT_EQ(ri::File::ReadFile(victim), "VICTIM");

    dir.Write(".other.txt." + std::to_string(getpid()) + ".tmp", "BUSY");
    EXPECT_TRUE(ri::ReplaceFile(dir / "other.txt", "MINE"));
    EXPECT_EQ(ri::File::ReadFile(dir / "other.txt"), "MINE");
    EXPECT_EQ(ri::File::ReadFile(FirstTemporary(dir, "other.txt")), "BUSY");
}

TEST(ReplaceFile, FailureNamesTheStepAndLeavesNothingBehind) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(ri::ReplaceFile(dir / "missing/a.txt", "X", &error));
    EXPECT_EQ(error.rfind("create: ", 0), 0u) << error;
    mkdir((dir / "target").c_str(), 0777);
    EXPECT_FALSE(ri::ReplaceFile(dir / "target", "X", &error));
    EXPECT_EQ(error.rfind("rename: ", 0), 0u) << error;
    EXPECT_EQ(ri::File::GetFilesList(dir.Path() + "/"), std::vector<std::string>{});
}

}  // namespace
