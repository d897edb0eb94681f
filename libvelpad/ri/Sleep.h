#pragma once

namespace ri {

// Sleeps for the given milliseconds, resuming after signal interruptions;
// zero or negative values return at once.
void Sleep(long milliseconds);

}  // namespace ri
