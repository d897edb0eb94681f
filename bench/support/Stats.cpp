#include "support/Stats.h"

#include <algorithm>
#include <cstdio>

namespace bench {

double Micros(Clock::duration elapsed) {
    return std::chrono::duration<double, std::micro>(elapsed).count();
}

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

double MedianRatio(const std::vector<double>& over, const std::vector<double>& under) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < over.size() && i < under.size(); ++i)
        if (under[i] != 0) ratios.push_back(over[i] / under[i]);
    return Median(ratios);
}

std::vector<double> Differences(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> out;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) out.push_back(a[i] - b[i]);
    return out;
}

void PrintFigure(const std::string& name, double value, const std::string& unit,
                 const std::string& note) {
    std::printf("  %-46s %12.1f %-5s %s\n", name.c_str(), value, unit.c_str(), note.c_str());
}

void PrintRatio(const std::string& name, double ratio, double goal) {
    if (goal > 0) {
        std::printf("  %-46s %12.2f x     (goal <= %g: %s)\n", name.c_str(), ratio, goal,
                    ratio <= goal ? "met" : "not met");
    } else {
        std::printf("  %-46s %12.2f x\n", name.c_str(), ratio);
    }
}

}  // namespace bench
