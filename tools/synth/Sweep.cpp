#include "Sweep.h"

#include <algorithm>
#include <cmath>

#include "Noise.h"
#include "Oscillator.h"
#include "SvFilter.h"
#include "Timeline.h"

namespace {

constexpr int kControlBlock = 16;

// Short fades at both ends; a riser is cut right on the bar line of the drop, and must not click.
double edges(int64_t i, int64_t frames) {
    const double fade = 0.01 * timeline::kSampleRate;
    return std::min({1.0, i / fade, (frames - 1 - i) / fade});
}

}  // namespace

void Sweep::render(int64_t firstSample, uint32_t seed, StereoBuffer& out) const {
    const int64_t start = timeline::sampleAtBar(startBar) - firstSample;
    const int64_t frames = timeline::sampleAtBar(endBar) - timeline::sampleAtBar(startBar);
    if (frames <= 0 || start + frames <= 0 || start >= static_cast<int64_t>(out.frames())) return;

    Noise noiseLeft(seed), noiseRight(seed * 7919u + 13u);
    SvFilter left, right;
    Oscillator saws[3] = {Oscillator(Oscillator::Shape::Saw, 0.0),
                          Oscillator(Oscillator::Shape::Saw, 0.33),
                          Oscillator(Oscillator::Shape::Saw, 0.71)};
    const double seconds = static_cast<double>(frames) / timeline::kSampleRate;

    for (int64_t i = 0; i < frames; ++i) {
        const double p = static_cast<double>(i) / frames;  // progress 0..1
        const double t = static_cast<double>(i) / timeline::kSampleRate;
        float l = 0.0f, r = 0.0f;
        double amp = 0.0;
        switch (kind) {
            case Kind::NoiseRiser: {
                if (i % kControlBlock == 0) {
                    const double hz = 250.0 * std::pow(40.0, p * p);
                    left.setCutoff(hz, 0.55);
                    right.setCutoff(hz * 1.05, 0.55);
                }
                l = left.bandpass(noiseLeft.next());
                r = right.bandpass(noiseRight.next());
                amp = 0.15 + 0.85 * p * p;
                break;
            }
            case Kind::NoiseFall: {
                if (i % kControlBlock == 0) {
                    const double hz = 9000.0 * std::pow(1.0 / 45.0, std::sqrt(p));
                    left.setCutoff(hz, 0.4);
                    right.setCutoff(hz * 0.95, 0.4);
                }
                l = left.lowpass(noiseLeft.next());
                r = right.lowpass(noiseRight.next());
                amp = (1.0 - p) * (1.0 - p);
                break;
            }
            case Kind::PitchRiser: {
                const double hz = timeline::midiToHz(pitch + 24.0 * p * p);
                if (i % kControlBlock == 0) {
                    left.setCutoff(hz * 4.0, 0.3);
                    right.setCutoff(hz * 4.0, 0.3);
                }
                const float a = saws[0].next(hz * 0.995), b = saws[1].next(hz),
                            c = saws[2].next(hz * 1.005);
                l = left.lowpass(a * 0.6f + b * 0.4f);
                r = right.lowpass(c * 0.6f + b * 0.4f);
                amp = 0.5 * p * p;
                break;
            }
            case Kind::Wind: {
                if (i % kControlBlock == 0) {
                    const double hz = 700.0 * std::pow(2.0, 0.9 * std::sin(0.37 * t) +
                                                                0.4 * std::sin(1.13 * t + 1.0));
                    left.setCutoff(hz, 0.7);
                    right.setCutoff(hz * 1.2, 0.7);
                }
                l = left.bandpass(noiseLeft.next());
                r = right.bandpass(noiseRight.next());
                // Swells in and out over the span.
                amp = std::sin(3.141592653589793 * std::min(1.0, t / seconds));
                break;
            }
        }
        const float g = static_cast<float>(amp * level * edges(i, frames));
        out.add(start + i, l * g, r * g);
    }
}
