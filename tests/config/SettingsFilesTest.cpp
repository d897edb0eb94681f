// A settings file kept from an earlier read of the process is never served
// once the file has changed, however it changed: every change is made to a
// file old enough to be kept, after a read that kept it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "config/SettingsFiles.h"
#include "support/TempDir.h"

namespace {

const char kOld[] = "PORT=COM1\n";
const char kNew[] = "PORT=COM2\n";  // the same size

void Overwrite(const std::string& path, const char* content) {
    const int fd = open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(static_cast<ssize_t>(strlen(content)), pwrite(fd, content, strlen(content), 0));
    close(fd);
}

// The file's times set back to what they were before a change.
void SameTimes(const std::string& path, const struct stat& before) {
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, 0));
}

struct Change {
    const char* name;
    std::function<void(const TempDir&, const std::string&, const struct stat&)> make;
    // The pairs read after the change; empty when no file can be read.
    SettingsFiles::Pairs expected;
    bool readable = true;
};

TEST(SettingsFiles, AKeptFileIsReadAgainOnceItChanged) {
    const std::vector<Change> changes = {
        {"unchanged",
         [](const TempDir&, const std::string&, const struct stat&) {},
         {{"PORT", "COM1"}}},
        {"rewritten in place, same size and times",
         [](const TempDir&, const std::string& path, const struct stat& before) {
             Overwrite(path, kNew);
             SameTimes(path, before);
         },
         {{"PORT", "COM2"}}},
        {"replaced by a file of the same size and times",
         [](const TempDir& dir, const std::string& path, const struct stat& before) {
             const std::string other = dir.Write("other.ini", kNew);
             SameTimes(other, before);
             ASSERT_EQ(0, rename(other.c_str(), path.c_str()));
         },
         {{"PORT", "COM2"}}},
        {"appended to",
         [](const TempDir&, const std::string& path, const struct stat&) {
             std::ofstream(path, std::ios::app) << "DEBUG=1\n";
         },
         {{"PORT", "COM1"}, {"DEBUG", "1"}}},
        {"removed",
         [](const TempDir&, const std::string& path, const struct stat&) {
             ASSERT_EQ(0, unlink(path.c_str()));
         },
         {},
         false},
        {"made a folder",
         [](const TempDir&, const std::string& path, const struct stat&) {
             ASSERT_EQ(0, unlink(path.c_str()));
             ASSERT_EQ(0, mkdir(path.c_str(), 0700));
         },
         {},
         false},
    };
    std::vector<std::unique_ptr<TempDir>> dirs;
    for (size_t i = 0; i < changes.size(); ++i) {
        dirs.push_back(std::make_unique<TempDir>());
        dirs.back()->Write("cashreg.ini", kOld);
    }
    // Each file is read once it is old enough to be kept, then changed, and
    // read again at once and again once the change is old enough too.
    const auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(3100)); };
    settle();
    for (size_t i = 0; i < changes.size(); ++i) {
        SCOPED_TRACE(changes[i].name);
        const std::string path = *dirs[i] / "cashreg.ini";
        struct stat before {};
        ASSERT_EQ(0, stat(path.c_str(), &before));
        const auto first = SettingsFiles::Read(path);
        ASSERT_TRUE(first);
        EXPECT_EQ((SettingsFiles::Pairs{{"PORT", "COM1"}}), *first);
        changes[i].make(*dirs[i], path, before);
    }
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) settle();
        for (size_t i = 0; i < changes.size(); ++i) {
            SCOPED_TRACE(std::string(changes[i].name) + (pass == 0 ? ", at once" : ", settled"));
            const auto after = SettingsFiles::Read(*dirs[i] / "cashreg.ini");
            ASSERT_EQ(changes[i].readable, after != nullptr);
            if (after) {
                EXPECT_EQ(changes[i].expected, *after);
            }
        }
    }
}

}  // namespace
