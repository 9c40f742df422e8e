#include "Automation.h"

#include <algorithm>

Automation::Automation(std::initializer_list<std::pair<double, double>> points) {
    for (const auto& [bar, value] : points) add(bar, value);
}

void Automation::add(double bar, double value) {
    if (!points_.empty() && bar < points_.back().first) return;
    points_.emplace_back(bar, value);
}

double Automation::at(double bar) const {
    if (points_.empty()) return 1.0;
    if (bar <= points_.front().first) return points_.front().second;
    if (bar >= points_.back().first) return points_.back().second;
    const auto next = std::upper_bound(points_.begin(), points_.end(), bar,
                                       [](double b, const auto& p) { return b < p.first; });
    const auto prev = next - 1;
    const double span = next->first - prev->first;
    if (span <= 0.0) return next->second;
    const double f = (bar - prev->first) / span;
    return prev->second + (next->second - prev->second) * f;
}
