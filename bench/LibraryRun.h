// One payment of 15.00 (currency 643, operation 1) through the exported
// functions, as a cash register makes it: a session per payment.
#ifndef VELPAD_BENCH_LIBRARYRUN_H
#define VELPAD_BENCH_LIBRARYRUN_H

namespace bench {

// Runs the payment; throws unless it ends with result code 0. logsOff sets
// "DISABLE_LOG" for the run, ledger false sets "NO_LEDGER".
void LibraryPayment(bool logsOff, bool ledger = true);

}  // namespace bench

#endif
