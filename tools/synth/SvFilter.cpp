#include "SvFilter.h"

#include <algorithm>
#include <cmath>

#include "Timeline.h"

void SvFilter::setCutoff(double hz, double resonance) {
    const double nyquistSafe = 0.45 * timeline::kSampleRate;
    const double f = std::clamp(hz, 10.0, nyquistSafe);
    const double g = std::tan(3.141592653589793 * f / timeline::kSampleRate);
    // k = 1/Q: from a Butterworth knee (Q 0.707) at resonance 0 to a ringing Q of about 15.
    k_ = 1.414 - 1.345 * std::clamp(resonance, 0.0, 0.98);
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

SvFilter::Output SvFilter::process(float input) {
    const double v3 = input - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {static_cast<float>(v2), static_cast<float>(v1),
            static_cast<float>(input - k_ * v1 - v2)};
}
