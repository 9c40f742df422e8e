#include "LoudnessMeter.h"

#include <cmath>
#include <vector>

#include "Timeline.h"

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0.0, z2 = 0.0;
    float process(float x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return static_cast<float>(y);
    }
};

// The two K-weighting stages, derived for any sample rate from their analogue prototypes.
Biquad headShelf(double rate) {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(3.141592653589793 * f0 / rate);
    const double vh = std::pow(10.0, gainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad lowCut(double rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(3.141592653589793 * f0 / rate);
    const double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

std::vector<float> weigh(const std::vector<float>& x) {
    Biquad shelf = headShelf(timeline::kSampleRate);
    Biquad cut = lowCut(timeline::kSampleRate);
    std::vector<float> y(x.size());
    for (size_t i = 0; i < x.size(); ++i) y[i] = cut.process(shelf.process(x[i]));
    return y;
}

double toLufs(double meanSquare) {
    return -0.691 + 10.0 * std::log10(std::max(meanSquare, 1e-20));
}

}  // namespace

LoudnessMeter::LoudnessMeter(const StereoBuffer& audio) {
    weighted_.left = weigh(audio.left);
    weighted_.right = weigh(audio.right);
}

double LoudnessMeter::range(size_t begin, size_t end) const {
    end = std::min(end, weighted_.frames());
    if (begin >= end) return -200.0;
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i)
        sum += static_cast<double>(weighted_.left[i]) * weighted_.left[i] +
               static_cast<double>(weighted_.right[i]) * weighted_.right[i];
    return toLufs(sum / static_cast<double>(end - begin));
}

double LoudnessMeter::integrated() const {
    const size_t block = timeline::kSampleRate * 4 / 10;
    const size_t hop = block / 4;
    std::vector<double> blocks;
    for (size_t start = 0; start + block <= weighted_.frames(); start += hop) {
        double sum = 0.0;
        for (size_t i = start; i < start + block; ++i)
            sum += static_cast<double>(weighted_.left[i]) * weighted_.left[i] +
                   static_cast<double>(weighted_.right[i]) * weighted_.right[i];
        blocks.push_back(sum / block);
    }
    auto gatedMean = [&](double gateLufs) {
        double sum = 0.0;
        size_t count = 0;
        for (double ms : blocks)
            if (toLufs(ms) > gateLufs) {
                sum += ms;
                ++count;
            }
        return count ? sum / count : 0.0;
    };
    const double ungated = gatedMean(-70.0);
    if (ungated <= 0.0) return -200.0;
    return toLufs(gatedMean(toLufs(ungated) - 10.0));
}
