#include "TruePeak.h"

#include <algorithm>
#include <cmath>

TruePeak::TruePeak() {
    constexpr double kPi = 3.141592653589793;
    for (int phase = 0; phase < 3; ++phase) {
        const double frac = (phase + 1) / 4.0;
        double sum = 0.0;
        for (int k = 0; k < kTaps; ++k) {
            // Tap k weighs sample n + k - 7; the interpolated point lies at n + frac.
            const double x = (k - (kTaps / 2 - 1)) - frac;
            const double sinc = std::sin(kPi * x) / (kPi * x);
            const double w = 0.5 + 0.5 * std::cos(kPi * x / (kTaps / 2));  // Hann window
            coefficients_[phase][k] = static_cast<float>(sinc * w);
            sum += sinc * w;
        }
        for (int k = 0; k < kTaps; ++k)
            coefficients_[phase][k] = static_cast<float>(coefficients_[phase][k] / sum);
    }
}

std::vector<float> TruePeak::perSample(const std::vector<float>& x) const {
    const size_t n = x.size();
    const size_t before = kTaps / 2 - 1;
    // Zero padding on both sides keeps the inner loops free of bounds checks.
    std::vector<float> padded(n + kTaps, 0.0f);
    std::copy(x.begin(), x.end(), padded.begin() + before);
    std::vector<float> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = std::fabs(x[i]);
    std::vector<float> point(n);
    for (int phase = 0; phase < 3; ++phase) {
        std::fill(point.begin(), point.end(), 0.0f);
        for (int k = 0; k < kTaps; ++k) {
            const float c = coefficients_[phase][k];
            const float* src = padded.data() + k;
            for (size_t i = 0; i < n; ++i) point[i] += src[i] * c;
        }
        for (size_t i = 0; i < n; ++i) out[i] = std::max(out[i], std::fabs(point[i]));
    }
    return out;
}

float TruePeak::peak(const std::vector<float>& x) const {
    const std::vector<float> p = perSample(x);
    return p.empty() ? 0.0f : *std::max_element(p.begin(), p.end());
}
