// Child processes of the benchmarks: started by fork/exec in a chosen
// directory, waited for with a bound, and stopped by their own process id.
#ifndef VELPAD_BENCH_CHILD_H
#define VELPAD_BENCH_CHILD_H

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace bench {

// Starts argv[0] with argv in workDir; its standard output and error go to
// outputPath (appended), or to /dev/null when it is empty.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& workDir,
            const std::string& outputPath = "");

// The exit status of pid, or -1 when it did not exit by itself within limit
// (it is then killed) or died by a signal.
int WaitExit(pid_t pid, std::chrono::seconds limit);

}  // namespace bench

#endif
