#pragma once

#include <initializer_list>
#include <vector>

#include "Image.h"

// Piecewise linear colour gradient over 0..1; stops are given in rising order.
class ColorRamp {
public:
    struct Stop {
        float at;
        Rgba color;
    };
    ColorRamp(std::initializer_list<Stop> stops);
    Rgba operator()(float t) const;

private:
    std::vector<Stop> stops_;
};
