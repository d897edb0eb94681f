#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ri/File.h"
#include "ri/KnownFile.h"
#include "support/FileModes.h"
#include "support/TempDir.h"

// The same content again leaves the file alone; a file changed, replaced or
// removed by anyone else is written again.
TEST(KnownFile, SkipsOnlyARewriteOfItsOwnUnchangedContent) {
    TempDir dir;
    const std::string path = dir / "output.out";
    ri::KnownFile file;
    ASSERT_TRUE(file.Write(path, "pan=427612******1234\n"));
    const ino_t first = InodeOf(path);
    ASSERT_TRUE(file.Write(path, "pan=427612******1234\n"));
    EXPECT_EQ(first, InodeOf(path));
    EXPECT_TRUE(file.Write(path, "rrn=1\n"));
    EXPECT_EQ("rrn=1\n", ri::File::ReadFile(path));
    ASSERT_TRUE(ri::File::WriteFile(path, "edited\n"));
    EXPECT_TRUE(file.Write(path, "rrn=1\n"));
    EXPECT_EQ("rrn=1\n", ri::File::ReadFile(path));
    ASSERT_EQ(0, unlink(path.c_str()));
    EXPECT_TRUE(file.Write(path, "rrn=1\n"));
    EXPECT_EQ("rrn=1\n", ri::File::ReadFile(path));
    EXPECT_TRUE(file.Write(dir / "varenv.out", "rrn=1\n"));
    EXPECT_EQ("rrn=1\n", ri::File::ReadFile(dir / "varenv.out"));
    EXPECT_FALSE(file.Write(dir / "no/such/folder/output.out", "x"));
    EXPECT_FALSE(file.Write(dir / "no/such/folder/output.out", "x"));
}
