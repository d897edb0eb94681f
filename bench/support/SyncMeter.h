// The syncs the process makes: the benchmark programs define fsync and
// fdatasync themselves, so every sync of the library and of the ledger's
// database passes through here and is counted and timed.
#ifndef VELPAD_BENCH_SYNCMETER_H
#define VELPAD_BENCH_SYNCMETER_H

namespace bench {

// fsync and fdatasync calls since the program started.
long SyncCount();
// Time spent in those calls since the program started.
double SyncMicros();

}  // namespace bench

#endif
