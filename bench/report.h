#pragma once

// One row of the performance report. Every benchmark prints its figures as such rows, so that
// ./trovix.sh bench can gather the runs into one table; the rest of what a benchmark prints is detail.
#include <cmath>
#include <cstdio>
#include <string>

namespace trovix::bench {

// "@row|what|value|floor (ratio)|target|verdict". A floor of NaN means the figure has none (a growth
// factor, say); the verdict is the benchmark's own, against its target.
inline void reportRow(const std::string& what, double value, const char* unit, double floor, const std::string& target,
                      bool met)
{
    char valueText[64];
    char floorText[96];
    std::snprintf(valueText, sizeof valueText, "%.*f %s", value < 10 ? 3 : 1, value, unit);
    if (std::isnan(floor))
        std::snprintf(floorText, sizeof floorText, "-");
    else
        std::snprintf(floorText, sizeof floorText, "%.*f %s (%.2f×)", floor < 10 ? 3 : 1, floor, unit, value / floor);
    std::printf("@row|%s|%s|%s|%s|%s\n", what.c_str(), valueText, floorText, target.c_str(), met ? "met" : "NOT met");
    std::fflush(stdout);
}

} // namespace trovix::bench
