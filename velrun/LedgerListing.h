// velrun --ledger: the newest records of the ledger of operations the
// library keeps beside its status file, read without changing it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velrun {

// The records --ledger prints without a count, and the most it prints.
constexpr int kLedgerRecords = 20;
constexpr int kMostLedgerRecords = 100000;

// The ledger's file as the library names it for the installation in the
// working directory; empty (with the reason in *why) when it is off.
std::string ledgerPath(std::string* why);

// Prints the newest count records, oldest first: one "key=value" line each,
// or a JSON array. Returns the exit status: 0, or 2 when the ledger is off,
// missing or unreadable (the reason on err).
int listLedger(int count, bool json, std::ostream& out, std::ostream& err);

// Reads the "--ledger" command line (its arguments after "--ledger": a count
// and "--json" in any order); false when it is malformed.
bool parseLedgerArguments(const std::vector<std::string>& args, int* count, bool* json);

}  // namespace velrun
