// Where the benchmarks find the programs and files of the build and the tree.
#ifndef VELPAD_BENCH_PATHS_H
#define VELPAD_BENCH_PATHS_H

namespace bench {

inline constexpr const char* kVpinpad = VELPAD_BENCH_VPINPAD;
inline constexpr const char* kVelrun = VELPAD_BENCH_VELRUN;
inline constexpr const char* kExecFloor = VELPAD_BENCH_EXEC_FLOOR;
inline constexpr const char* kScenarioDir = VELPAD_BENCH_SCENARIOS;
inline constexpr const char* kInstallDir = VELPAD_BENCH_INSTALL;

}  // namespace bench

#endif
