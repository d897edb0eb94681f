// Figures: medians of timed samples and the lines the benchmarks print.
#ifndef VELPAD_BENCH_STATS_H
#define VELPAD_BENCH_STATS_H

#include <chrono>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

double Micros(Clock::duration elapsed);
double Median(std::vector<double> samples);
// The median of over[i] / under[i]: samples i of both were taken in the same
// round, side by side, so a drift of the machine's speed between rounds
// (other guests of the host, the host's own load) falls on both alike.
double MedianRatio(const std::vector<double>& over, const std::vector<double>& under);
// a[i] - b[i] for every round i.
std::vector<double> Differences(const std::vector<double>& a, const std::vector<double>& b);

// "  name ........ 123.4 us" with an optional note.
void PrintFigure(const std::string& name, double value, const std::string& unit,
                 const std::string& note = "");
// "  name ........ 2.31 x limit (goal <= 2)" and whether it holds.
void PrintRatio(const std::string& name, double ratio, double goal = 0);

}  // namespace bench

#endif
