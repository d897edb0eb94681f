#pragma once

#include <string>
#include <vector>

#include "engine/ledger/LedgerRecord.h"

// A record as one line of "key=value" fields (values with blanks, quotes or
// "=" in double quotes, empty fields left out), for the system log and the
// runner's listing.
std::string LedgerLine(const LedgerRecord& record);
// Records as a JSON array of objects with every field.
std::string LedgerJson(const std::vector<LedgerRecord>& records);
