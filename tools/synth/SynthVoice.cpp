#include "SynthVoice.h"

#include <cmath>
#include <vector>

#include "Noise.h"
#include "Saturation.h"
#include "SvFilter.h"
#include "Timeline.h"

namespace {

// Filter coefficients are refreshed every block; 16 samples is far finer than any sweep.
constexpr int kControlBlock = 16;
constexpr double kTwoPi = 6.283185307179586;

struct StackVoice {
    Oscillator osc;
    double ratio;
    float gainLeft;
    float gainRight;
};

}  // namespace

void renderSynthNote(const Patch& patch, const NoteEvent& note, const Automation& brightness,
                     int64_t firstSample, uint32_t seed, StereoBuffer& out) {
    const int64_t start = timeline::sampleAtBar(note.bar) - firstSample;
    const double gate = timeline::barsToSeconds(note.length);
    const int64_t frames =
        static_cast<int64_t>(std::ceil(patch.amp.duration(gate) * timeline::kSampleRate));
    if (start + frames <= 0 || start >= static_cast<int64_t>(out.frames())) return;

    Noise random(seed);
    const int unison = patch.unison < 1 ? 1 : patch.unison;
    std::vector<StackVoice> stack;
    stack.reserve(unison);
    for (int i = 0; i < unison; ++i) {
        const double position = unison == 1 ? 0.0 : 2.0 * i / (unison - 1) - 1.0;
        const double cents = patch.detuneCents * position;
        const double pan = patch.stereoSpread * position;
        const double angle = (pan + 1.0) * 0.25 * 3.141592653589793;
        const float norm = static_cast<float>(1.0 / std::sqrt(static_cast<double>(unison)));
        stack.push_back({Oscillator(patch.shape, random.unit(), patch.pulseWidth),
                         std::pow(2.0, cents / 1200.0),
                         static_cast<float>(std::cos(angle) * 1.41421356) * norm,
                         static_cast<float>(std::sin(angle) * 1.41421356) * norm});
    }
    Oscillator sub(patch.subShape, 0.0);
    const double subRatio = std::pow(2.0, patch.subOctave);

    SvFilter filterLeft;
    SvFilter filterRight;
    const double baseHz = timeline::midiToHz(note.pitch);
    const double keyFactor = std::pow(2.0, patch.keyTrack * (note.pitch - 60) / 12.0);
    const double velocity = note.velocity;

    for (int64_t i = 0; i < frames; ++i) {
        const int64_t frame = start + i;
        const double t = static_cast<double>(i) / timeline::kSampleRate;
        if (i % kControlBlock == 0) {
            const double bright = brightness.at(timeline::barAtSample(frame + firstSample));
            const double env = patch.filterEnv.level(t, gate);
            const double hz =
                patch.cutoff * keyFactor * bright * std::pow(2.0, patch.filterEnvOctaves * env);
            filterLeft.setCutoff(hz, patch.resonance);
            filterRight.setCutoff(hz, patch.resonance);
        }
        double hz = baseHz;
        if (patch.vibratoCents > 0.0 && t > patch.vibratoDelay) {
            const double fadeIn = std::min(1.0, (t - patch.vibratoDelay) / 0.3);
            hz *= std::pow(
                2.0, patch.vibratoCents * fadeIn * std::sin(kTwoPi * patch.vibratoHz * t) / 1200.0);
        }
        float left = 0.0f;
        float right = 0.0f;
        for (StackVoice& v : stack) {
            const float s = v.osc.next(hz * v.ratio);
            left += s * v.gainLeft;
            right += s * v.gainRight;
        }
        left = filterLeft.lowpass(left);
        right = filterRight.lowpass(right);
        if (patch.subLevel > 0.0) {
            const float s = static_cast<float>(sub.next(hz * subRatio) * patch.subLevel);
            left += s;
            right += s;
        }
        const float amp = static_cast<float>(patch.amp.level(t, gate) * velocity * patch.gain);
        out.add(frame, saturate(left, patch.drive) * amp, saturate(right, patch.drive) * amp);
    }
}
