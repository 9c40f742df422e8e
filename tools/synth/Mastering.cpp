#include "Mastering.h"

#include <algorithm>
#include <cmath>

#include "Limiter.h"
#include "LoudnessMeter.h"
#include "SvFilter.h"
#include "Timeline.h"

namespace {

// The tail rings out from bar 140 and is silent from bar 141.6 (about 190.9 s), before the demo
// stops at bar 142.
constexpr double kFadeStartBar = 140.0;
constexpr double kSilentBar = 141.6;

void removeDc(std::vector<float>& x) {
    SvFilter highpass;
    highpass.setCutoff(18.0, 0.0);
    for (float& v : x) v = highpass.highpass(v);
}

void fadeTail(StereoBuffer& mix) {
    const int64_t start = timeline::sampleAtBar(kFadeStartBar);
    const int64_t end = timeline::sampleAtBar(kSilentBar);
    for (int64_t i = start; i < static_cast<int64_t>(mix.frames()); ++i) {
        double g = 0.0;
        if (i < end)
            g = 0.5 +
                0.5 * std::cos(3.141592653589793 * (i - start) / static_cast<double>(end - start));
        mix.left[i] = static_cast<float>(mix.left[i] * g);
        mix.right[i] = static_cast<float>(mix.right[i] * g);
    }
}

double toDb(double x) {
    return 20.0 * std::log10(std::max(x, 1e-12));
}

}  // namespace

Mastering::Mastering(double targetLufs, double ceilingDb)
    : targetLufs_(targetLufs), ceilingDb_(ceilingDb) {}

MasteringResult Mastering::process(StereoBuffer& mix) const {
    removeDc(mix.left);
    removeDc(mix.right);
    fadeTail(mix);

    const Limiter limiter(std::pow(10.0, ceilingDb_ / 20.0), 0.0015, 0.08);
    const std::vector<float> peaks = Limiter::framePeaks(mix);
    MasteringResult result;
    StereoBuffer out;
    double gainDb = targetLufs_ - LoudnessMeter(mix).integrated();
    // The limiter takes away a little loudness as the gain rises; a few rounds settle it.
    for (int round = 0; round < 4; ++round) {
        out = mix;
        result.gainDb = gainDb;
        result.limiterReductionDb = limiter.process(out, peaks, std::pow(10.0, gainDb / 20.0));
        result.integratedLufs = LoudnessMeter(out).integrated();
        gainDb += targetLufs_ - result.integratedLufs;
    }
    result.limiterReductionDb += limiter.enforce(out);
    result.integratedLufs = LoudnessMeter(out).integrated();
    const std::vector<float> outPeaks = Limiter::framePeaks(out);
    result.truePeakDb = toDb(*std::max_element(outPeaks.begin(), outPeaks.end()));
    mix = std::move(out);
    return result;
}
