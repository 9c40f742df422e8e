#include "FmBell.h"

#include <cmath>

#include "Timeline.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

void FmBell::render(const NoteEvent& note, int64_t firstSample, StereoBuffer& out) const {
    const int64_t start = timeline::sampleAtBar(note.bar) - firstSample;
    const double gate = timeline::barsToSeconds(note.length);
    const int64_t frames =
        static_cast<int64_t>(std::ceil((gate + release) * timeline::kSampleRate));
    if (start + frames <= 0 || start >= static_cast<int64_t>(out.frames())) return;

    const double hz = timeline::midiToHz(note.pitch);
    const double detune = std::pow(2.0, detuneCents / 1200.0);
    const double stepLeft = hz / detune / timeline::kSampleRate;
    const double stepRight = hz * detune / timeline::kSampleRate;
    double carrierLeft = 0.0, carrierRight = 0.0, modLeft = 0.0, modRight = 0.0;
    for (int64_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / timeline::kSampleRate;
        const double idx = index * std::exp(-t / indexDecay);
        double amp = std::exp(-t / decay) * std::min(1.0, t / 0.002);
        if (t > gate) {
            const double r = 1.0 - (t - gate) / release;
            amp *= r > 0.0 ? r * r : 0.0;
        }
        amp *= note.velocity * gain;
        const double left = std::sin(kTwoPi * carrierLeft + idx * std::sin(kTwoPi * modLeft));
        const double right = std::sin(kTwoPi * carrierRight + idx * std::sin(kTwoPi * modRight));
        out.add(start + i, static_cast<float>(left * amp), static_cast<float>(right * amp));
        carrierLeft += stepLeft;
        carrierRight += stepRight;
        modLeft += stepLeft * ratio;
        modRight += stepRight * ratio;
        carrierLeft -= std::floor(carrierLeft);
        carrierRight -= std::floor(carrierRight);
        modLeft -= std::floor(modLeft);
        modRight -= std::floor(modRight);
    }
}
