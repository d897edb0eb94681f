#include "TestFiles.h"

#include <gtest/gtest.h>

#include "ri/File.h"
#include "ri/Trace.h"

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
