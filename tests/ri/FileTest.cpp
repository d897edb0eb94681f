#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "ri/Exception.h"
#include "ri/File.h"
#include "ri/FileIn.h"
#include "ri/FileWritter.h"
#include "support/FileModes.h"
#include "support/TempDir.h"

using ri::File;

TEST(File, PathSplitting) {
    EXPECT_EQ("", File::GetFullPath("cheq.out"));
    EXPECT_EQ("", File::GetFullPath(""));
    EXPECT_EQ("C:/pos/out", File::GetFullPath("C:\\pos\\out\\cheq.out"));
    EXPECT_EQ("cheq.out", File::GetFileName("C:\\pos\\out\\cheq.out"));
    EXPECT_EQ("cheq.out", File::GetFileName("cheq.out"));
    EXPECT_EQ("", File::GetDllPath());
    EXPECT_FALSE(File::GetDir().empty());
}

TEST(File, MissingFiles) {
    TempDir dir;
    EXPECT_FALSE(File::Exists(dir / "none"));
    EXPECT_FALSE(File::Exists(""));
    EXPECT_FALSE(File::Exists(dir.Path()));  // a directory is not a file
    EXPECT_EQ("", File::ReadFile(dir / "none"));
    EXPECT_FALSE(File::Delete(dir / "none"));
    EXPECT_FALSE(File::Delete(""));
    EXPECT_FALSE(File::WriteFile(dir / "no/such/dir", "x"));
    EXPECT_TRUE(File::GetFilesList(dir / "no/such/").empty());
}

TEST(File, WriteAndDelete) {
    TempDir dir;
    const std::string path = dir / "a.txt";
    const std::string binary("x\0y\n", 4);
    EXPECT_TRUE(File::WriteFile(path, binary));
    EXPECT_EQ(binary, File::ReadFile(path));
    EXPECT_TRUE(File::WriteFile(path, "new"));
    EXPECT_EQ("new", File::ReadFile(path));
    EXPECT_TRUE(File::Delete(path));
    EXPECT_FALSE(File::Exists(path));
}

TEST(File, MakeFoldersReadsModeAsOctal) {
    TempDir dir;
    const mode_t oldMask = umask(0);
    const std::string path = dir / "Logs/sub";
    EXPECT_EQ(0, File::MakeFolders(path, 770));
    umask(oldMask);
    struct stat status {};
    ASSERT_EQ(0, stat(path.c_str(), &status));
    EXPECT_EQ(0770u, status.st_mode & 0777);
    EXPECT_EQ(0, File::MakeFolders(path + "/", 770));  // all exist
    EXPECT_TRUE(File::IsFolderExist(dir / "Logs"));
    File::WriteFile(dir / "plain", "");
    EXPECT_EQ(-1, File::MakeFolders(dir / "plain/sub", 770));
}

TEST(File, ListingsByExtensionAndTime) {
    TempDir dir;
    mkdir((dir / "sub.log").c_str(), 0700);
    for (const char* name : {"a.log", "b.log", "c.txt", "d"}) File::WriteFile(dir / name, name);
    EXPECT_EQ((std::vector<std::string>{"a.log", "b.log", "c.txt", "d"}),
              File::GetFilesList(dir.Path() + "/"));
    EXPECT_EQ((std::vector<std::string>{"a.log", "b.log"}), File::GetFilesList(dir / "*", {"log"}));

    utimbuf same{1000, 1000};
    utime((dir / "a.log").c_str(), &same);
    utime((dir / "b.log").c_str(), &same);
    utimbuf later{2000, 2000};
    utime((dir / "c.txt").c_str(), &later);
    const File::PropertyMap byTime = File::GetFilesPropertyByTime(dir / "*", {"log", "txt"});
    ASSERT_EQ(2u, byTime.size());  // the two logs of the same second share one entry
    EXPECT_EQ(1000, byTime.begin()->first);
    EXPECT_EQ("c.txt", byTime.rbegin()->second.name);
    EXPECT_EQ(5, byTime.rbegin()->second.size);

    File::PropertyMap map;
    EXPECT_THROW(ri::MakeResultProperty(dir.Path(), "vanished", &map), ri::Exception);
}

TEST(FileIn, ReadsLinesWithoutCarriageReturns) {
    TempDir dir;
    File::WriteFile(dir / "crlf.txt", "one\r\ntwo\r\n\r\nlast");
    ri::FileIn in(dir / "crlf.txt");
    std::vector<std::string> lines;
    while (!in.IsEndFile()) lines.push_back(in.ReadLine());
    EXPECT_EQ((std::vector<std::string>{"one", "two", "", "last"}), lines);
    std::string line = "kept";
    EXPECT_FALSE(in.ReadLine(&line));
    EXPECT_EQ("kept", line);
}

TEST(FileIn, RefusesEmptyAndMissingPaths) {
    TempDir dir;
    try {
        ri::FileIn in(dir / "none");
        FAIL();
    } catch (const ri::Exception& e) {
        EXPECT_EQ("File is not opened: " + (dir / "none"), e.What());
    }
    try {
        ri::FileIn in("");
        FAIL();
    } catch (const ri::Exception& e) {
        EXPECT_STREQ("File name is empty", e.What());
    }
}

TEST(File, LogsAndResultFilesAreReadableByOwnerAndGroupOnly) {
    TempDir dir;
    NoUmask noUmask;
    EXPECT_TRUE(File::WriteFile(dir / "trace.log", "x"));
    EXPECT_EQ(ModeOf(dir / "trace.log"), 0640u);
    FileWritter writer;
    ASSERT_EQ(writer.Open(dir / "rc.out"), 0);
    writer.Close();
    EXPECT_EQ(ModeOf(dir / "rc.out"), 0640u);
    // A file left readable by everyone loses the rights of others.
    File::WriteFile(dir / "old.out", "x");
    chmod((dir / "old.out").c_str(), 0666);
    EXPECT_TRUE(File::WriteFile(dir / "old.out", "y"));
    EXPECT_EQ(ModeOf(dir / "old.out"), 0660u);
}

TEST(File, NamedPipeAsAFileNameDoesNotHoldTheWriterUp) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    File::CreatePrivate(dir / "pipe");
    EXPECT_EQ(ModeOf(dir / "pipe"), 0600u);
}
