#pragma once

#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

// A fresh directory under /tmp, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/ri_test_XXXXXX";
        if (mkdtemp(name) != nullptr) path_ = name;
    }
    ~TempDir() {
        if (!path_.empty()) nftw(path_.c_str(), Remove, 16, FTW_DEPTH | FTW_PHYS);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Writes content to name inside the directory; returns the full path.
    std::string Write(const std::string& name, const std::string& content) const {
        const std::string path = *this / name;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
        return path;
    }

private:
    static int Remove(const char* path, const struct stat*, int, struct FTW*) {
        return std::remove(path);
    }
    std::string path_;
};

// Runs a test body in another working directory and returns to the old one.
class WorkingDir {
public:
    explicit WorkingDir(const std::string& path) {
        char buffer[4096] = {};
        if (getcwd(buffer, sizeof(buffer) - 1) != nullptr) old_ = buffer;
        changed_ = chdir(path.c_str()) == 0;
    }
    ~WorkingDir() {
        if (changed_ && chdir(old_.c_str()) != 0) std::perror("chdir");
    }
    WorkingDir(const WorkingDir&) = delete;
    WorkingDir& operator=(const WorkingDir&) = delete;

private:
    std::string old_;
    bool changed_ = false;
};
