// Printing of the result map on standard output.
#pragma once

#include "Runner.h"

namespace velrun {

// One "key=value" line per entry, in ascending key order, each flushed.
void printResult(const ResultMap& result);

}  // namespace velrun
