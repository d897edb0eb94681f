// Time the process spends in nanosleep: the benchmark programs define
// nanosleep themselves, so every sleep the library takes (its link pauses
// and purges) passes through here and is added up.
#ifndef VELPAD_BENCH_SLEEPMETER_H
#define VELPAD_BENCH_SLEEPMETER_H

namespace bench {

// Microseconds slept since the last reset, and how many sleeps.
double SleptMicros();
long SleepCount();
void ResetSleeps();

}  // namespace bench

#endif
