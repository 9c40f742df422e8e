#include "ColorRamp.h"

ColorRamp::ColorRamp(std::initializer_list<Stop> stops) : stops_(stops) {}

Rgba ColorRamp::operator()(float t) const {
    if (stops_.empty()) return {};
    if (t <= stops_.front().at) return stops_.front().color;
    for (size_t i = 1; i < stops_.size(); ++i)
        if (t <= stops_[i].at) {
            const Stop& a = stops_[i - 1];
            const Stop& b = stops_[i];
            return mix(a.color, b.color, (t - a.at) / (b.at - a.at));
        }
    return stops_.back().color;
}
