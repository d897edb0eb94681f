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
