#include "Oscillator.h"

#include <algorithm>
#include <cmath>

#include "Timeline.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Residual of a unit step smoothed over one sample either side of the discontinuity.
double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double wrap(double phase) {
    return phase - std::floor(phase);
}

}  // namespace

Oscillator::Oscillator(Shape shape, double startPhase, double pulseWidth)
    : shape_(shape), phase_(wrap(startPhase)), pulseWidth_(0.5) {
    setPulseWidth(pulseWidth);
}

void Oscillator::setPulseWidth(double width) {
    pulseWidth_ = std::clamp(width, 0.05, 0.95);
}

float Oscillator::next(double frequency) {
    const double dt = std::clamp(frequency / timeline::kSampleRate, 0.0, 0.49);
    const double t = phase_;
    double value = 0.0;
    switch (shape_) {
        case Shape::Sine: value = std::sin(kTwoPi * t); break;
        case Shape::Saw: value = 2.0 * t - 1.0 - polyBlep(t, dt); break;
        case Shape::Square:
        case Shape::Pulse: {
            const double width = shape_ == Shape::Square ? 0.5 : pulseWidth_;
            value = t < width ? 1.0 : -1.0;
            value += polyBlep(t, dt);
            value -= polyBlep(wrap(t + 1.0 - width), dt);
            // Keeps a narrow pulse centred on zero.
            value -= 2.0 * width - 1.0;
            break;
        }
        case Shape::Triangle: value = t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t; break;
    }
    phase_ = wrap(phase_ + dt);
    return static_cast<float>(value);
}
