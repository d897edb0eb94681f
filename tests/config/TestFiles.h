#pragma once

#include <string>

#include "support/TempDir.h"

namespace ri {
class Trace;
}

// The trace of the test program, at full level, in its own scratch directory;
// registered before any other trace so that ri::Trace::Get() returns it too.
ri::Trace* TestTrace();
// Everything the test trace has written so far.
std::string TestTraceText();
