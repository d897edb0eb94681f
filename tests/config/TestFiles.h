#pragma once

#include <string>

namespace ri {
class Trace;
}

// A scratch directory under /tmp, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Writes content to name inside the directory; returns the full path.
    std::string Write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

// The trace of the test program, at full level, in its own scratch directory;
// registered before any other trace so that ri::Trace::Get() returns it too.
ri::Trace* TestTrace();
// Everything the test trace has written so far.
std::string TestTraceText();
