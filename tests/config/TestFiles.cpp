#include "TestFiles.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "ri/File.h"
#include "ri/Trace.h"

TempDir::TempDir() {
    char pattern[] = "/tmp/velpad-config-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = made;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
    const std::string path = path_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

namespace {

TempDir& TraceDir() {
    static TempDir* dir = new TempDir;
    return *dir;
}

// Removes the trace directory when the test program ends.
class TraceCleanup : public ::testing::Environment {
public:
    void TearDown() override { delete &TraceDir(); }
};

const auto* const kCleanup = ::testing::AddGlobalTestEnvironment(new TraceCleanup);

}  // namespace

ri::Trace* TestTrace() {
    return ri::Trace::Get(TraceDir().Path() + "/trace.log", 6, 0);
}

std::string TestTraceText() {
    return ri::File::ReadFile(TestTrace()->GetPath());
}
