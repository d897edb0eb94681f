#include "support/TestTrace.h"

#include <gtest/gtest.h>

#include "ri/File.h"
#include "ri/Trace.h"
#include "support/TempDir.h"

namespace {

TempDir& TraceDir() {
    static TempDir* dir = new TempDir;
    return *dir;
}

// Registers the trace before any test asks for the default one, and removes
// its directory when the program ends.
class TraceEnvironment : public ::testing::Environment {
public:
    void SetUp() override { TestTrace(); }
    void TearDown() override { delete &TraceDir(); }
};

const ::testing::Environment* const kTraceEnvironment =
    ::testing::AddGlobalTestEnvironment(new TraceEnvironment);

}  // namespace

ri::Trace* TestTrace() {
    return ri::Trace::Get(TraceDir().Path() + "/trace.log", ri::Trace::LEVEL_DEBUG6,
                          ri::Trace::LEVEL_ERROR);
}

std::string TestTraceText() {
    return ri::File::ReadFile(TestTrace()->GetPath());
}
