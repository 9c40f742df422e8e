#pragma once
#include <cmath>
#include <cstdint>

// A music position counts 100 ns units, as the platforms' media clocks do. These two are the one
// conversion between positions and seconds; a position is always the nearest one.
constexpr std::int64_t kPositionUnitsPerSecond = 10000000;

constexpr double secondsOfPosition(std::int64_t position) {
    return static_cast<double>(position) / static_cast<double>(kPositionUnitsPerSecond);
}
inline std::int64_t positionOfSeconds(double seconds) {
    return std::llround(seconds * static_cast<double>(kPositionUnitsPerSecond));
}
