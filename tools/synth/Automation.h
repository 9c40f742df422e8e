#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

// A value drawn over the song as straight lines between (bar, value) points; before the first
// point and after the last it holds their values. Used for track levels and filter sweeps.
class Automation {
public:
    Automation() = default;
    Automation(std::initializer_list<std::pair<double, double>> points);

    // Points must be added in order of bar; an out-of-order point is ignored.
    void add(double bar, double value);

    double at(double bar) const;
    bool empty() const { return points_.empty(); }

private:
    std::vector<std::pair<double, double>> points_;
};
