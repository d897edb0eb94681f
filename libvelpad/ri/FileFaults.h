#pragma once

namespace ri {

// A countdown over the writes and syncs of the files of a run, for the
// fault-injection tests: once armed with n, the n-th write or sync from then
// on fails as on a full or broken disk (ENOSPC for a write, EIO for a
// sync), once. Unarmed it costs one comparison per call. Process-wide, not
// guarded: only a single-threaded test arms it.
namespace FileFaults {

void Arm(long n);
// The writes and syncs counted since the countdown was last armed.
long Counted();
// Whether the call that failed since the countdown was armed was a sync.
bool StruckSync();
// Counts one call; true when it is the one to fail (errno is set).
bool Strike(bool sync);

}  // namespace FileFaults

}  // namespace ri
