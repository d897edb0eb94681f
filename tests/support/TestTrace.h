#ifndef VELPAD_TESTS_SUPPORT_TESTTRACE_H
#define VELPAD_TESTS_SUPPORT_TESTTRACE_H

#include <string>

namespace ri {
class Trace;
}

// The trace of a test program, at full level, in a temporary directory of its
// own. It is registered before the first test runs, so every class that asks
// for the default trace writes here (and nothing lands outside the test's
// files); the directory is removed when the program ends. A program gets it
// by compiling TestTrace.cpp in.
ri::Trace* TestTrace();
// Everything the test trace has written so far.
std::string TestTraceText();

#endif
