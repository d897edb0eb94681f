// Printing of the result map on standard output.
#pragma once

#include "Runner.h"

namespace velrun {

// One "key=value" line per entry, in ascending key order, each flushed;
// control characters inside a value are printed as blanks.
void printResult(const ResultMap& result);

}  // namespace velrun
