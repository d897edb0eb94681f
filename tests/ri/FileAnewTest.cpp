// Result, cheque, status and exchange files are rewritten without being
// truncated; what a reader of the name sees must be what a truncating
// rewrite gave.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "ri/File.h"
#include "ri/FileWritter.h"
#include "support/FileModes.h"
#include "support/TempDir.h"

using ri::File;

TEST(FileAnew, RewritesKeepContentNameAndRights) {
    TempDir dir;
    NoUmask noUmask;
    const std::string path = dir / "rc.out";
    ASSERT_TRUE(File::WriteFile(path, "0\nlonger old result\n"));
    chmod(path.c_str(), 0664);
    EXPECT_TRUE(File::WriteFile(path, "51\n"));
    EXPECT_EQ("51\n", File::ReadFile(path));
    EXPECT_EQ(0660u, ModeOf(path));
    // Longer, then the same size: overwritten in place, nothing of the old left.
    EXPECT_TRUE(File::WriteFile(path, "a longer result line\n"));
    const ino_t before = InodeOf(path);
    EXPECT_TRUE(File::WriteFile(path, "the same size, new!!\n"));
    EXPECT_EQ("the same size, new!!\n", File::ReadFile(path));
    EXPECT_EQ(before, InodeOf(path));
    EXPECT_TRUE(File::WriteFile(path, ""));
    EXPECT_EQ("", File::ReadFile(path));
    // The line writer of result and cheque files starts each opening afresh.
    FileWritter writer;
    ASSERT_EQ(0, writer.Open(path));
    writer.Write("line", false);
    writer.Close();
    ASSERT_EQ(0, writer.Open(path));
    writer.Write("2", false);
    writer.Close();
    EXPECT_EQ("2\n", File::ReadFile(path));
    EXPECT_EQ(0660u, ModeOf(path));
}

// A link is never written through, neither into its target nor by creating
// the target of a dangling one; a file with a second name keeps both.
TEST(FileAnew, LinksAreRefusedAndSecondNamesShareTheContent) {
    TempDir dir;
    const std::string target = dir / "spool.txt";
    ASSERT_TRUE(File::WriteFile(target, "old slip, long\n"));
    ASSERT_EQ(0, symlink(target.c_str(), (dir / "cheq.out").c_str()));
    ASSERT_EQ(0, symlink((dir / "made").c_str(), (dir / "rc.out").c_str()));
    EXPECT_FALSE(File::WriteFile(dir / "cheq.out", "new\n"));
    EXPECT_FALSE(File::WriteFile(dir / "rc.out", "000\n"));
    EXPECT_LT(File::OpenForContent(dir / "rc.out", 0), 0);
    struct stat status {};
    ASSERT_EQ(0, lstat((dir / "cheq.out").c_str(), &status));
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ("old slip, long\n", File::ReadFile(target));
    EXPECT_NE(0, access((dir / "made").c_str(), F_OK));
    EXPECT_EQ(File::KindOf(dir / "cheq.out"), File::Kind::kLink);
    // A file with a second name: both names still show the one content.
    ASSERT_EQ(0, link(target.c_str(), (dir / "copy.txt").c_str()));
    ASSERT_TRUE(File::WriteFile(target, "x"));
    EXPECT_EQ("x", File::ReadFile(dir / "copy.txt"));
    EXPECT_EQ(InodeOf(target), InodeOf(dir / "copy.txt"));
    EXPECT_FALSE(File::EmptyAnew(dir / "no/such/folder/rc.out"));
    EXPECT_FALSE(File::EmptyAnew(""));
}

// A file the engine may not replace (another owner's; for a plain user, one
// in a folder that refuses removals) keeps its identity and is truncated.
TEST(FileAnew, FileThatCannotBeReplacedIsTruncated) {
    TempDir dir;
    const std::string path = dir / "rc.out";
    ASSERT_TRUE(File::WriteFile(path, "old result\n"));
    const ino_t before = InodeOf(path);
    const bool root = geteuid() == 0;
    if (root)
        ASSERT_EQ(0, chown(path.c_str(), 65534, static_cast<gid_t>(-1)));
    else
        chmod(dir.Path().c_str(), 0500);
    EXPECT_FALSE(File::EmptyAnew(path));
    EXPECT_TRUE(File::WriteFile(path, "0\n"));
    chmod(dir.Path().c_str(), 0700);
    EXPECT_EQ("0\n", File::ReadFile(path));
    EXPECT_EQ(before, InodeOf(path));
}
