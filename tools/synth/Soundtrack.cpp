#include "Soundtrack.h"

#include <cmath>
#include <utility>

#include "Instruments.h"
#include "Reverb.h"
#include "Sidechain.h"
#include "StereoDelay.h"
#include "SynthVoice.h"
#include "Timeline.h"

namespace {

// Notes that start this long before an excerpt still ring into it.
constexpr double kLookBackBars = 4.0;

bool inRange(double bar, double from, double to) {
    return bar >= from && bar < to;
}

void applyLevel(const Automation& level, int64_t firstSample, StereoBuffer& track) {
    if (level.empty()) return;
    for (size_t i = 0; i < track.frames(); ++i) {
        const float g = static_cast<float>(
            level.at(timeline::barAtSample(firstSample + static_cast<int64_t>(i))));
        track.left[i] *= g;
        track.right[i] *= g;
    }
}

void applyPan(float pan, StereoBuffer& track) {
    if (pan == 0.0f) return;
    // Balance: the far side keeps full level, the near side is attenuated.
    const float left = pan > 0.0f ? 1.0f - pan : 1.0f;
    const float right = pan < 0.0f ? 1.0f + pan : 1.0f;
    for (size_t i = 0; i < track.frames(); ++i) {
        track.left[i] *= left;
        track.right[i] *= right;
    }
}

}  // namespace

Soundtrack::Soundtrack(Score score) : score_(std::move(score)) {}

StereoBuffer Soundtrack::renderBars(double firstBar, double endBar) const {
    const int64_t first = timeline::sampleAtBar(firstBar);
    return render(first, timeline::sampleAtBar(endBar) - first);
}

StereoBuffer Soundtrack::renderSong() const {
    return render(0, timeline::kSongSamples);
}

void Soundtrack::renderPart(Part part, int64_t firstSample, double fromBar, double toBar,
                            const Sidechain& duck, StereoBuffer& mix, StereoBuffer& reverbSend,
                            StereoBuffer& delaySend) const {
    const std::vector<NoteEvent>& notes = score_.part(part);
    if (notes.empty()) return;
    const size_t index = static_cast<size_t>(part);
    StereoBuffer track(mix.frames());
    uint32_t seed = 0x51ed270bu + static_cast<uint32_t>(index) * 7919u;
    if (part == Part::Bell) {
        const FmBell bell = instruments::bell();
        for (const NoteEvent& n : notes)
            if (inRange(n.bar, fromBar, toBar)) bell.render(n, firstSample, track);
    } else {
        const Patch patch = instruments::patch(part);
        for (const NoteEvent& n : notes) {
            seed = seed * 1664525u + 1013904223u;
            if (inRange(n.bar, fromBar, toBar))
                renderSynthNote(patch, n, score_.brightness[index], firstSample, seed, track);
        }
    }
    const TrackMix m = instruments::mix(part);
    applyLevel(score_.level[index], firstSample, track);
    applyPan(m.pan, track);
    if (m.duck > 0.0f) duck.apply(track.left, track.right, m.duck);
    mix.mixIn(track, m.gain);
    reverbSend.mixIn(track, m.reverbSend);
    delaySend.mixIn(track, m.delaySend);
}

StereoBuffer Soundtrack::render(int64_t firstSample, int64_t frames) const {
    if (frames <= 0) return StereoBuffer();
    const size_t n = static_cast<size_t>(frames);
    const double fromBar = timeline::barAtSample(firstSample) - kLookBackBars;
    const double toBar = timeline::barAtSample(firstSample + frames);
    StereoBuffer mix(n), reverbSend(n), delaySend(n);

    std::vector<std::pair<int64_t, float>> kicks;
    for (const DrumHit& hit : score_.drums) {
        const float strength = instruments::drumDuck(hit.drum);
        if (strength > 0.0f)
            kicks.emplace_back(timeline::sampleAtBar(hit.bar) - firstSample,
                               strength * hit.velocity);
    }
    const Sidechain duck(n, std::move(kicks));

    for (size_t p = 0; p < kPartCount; ++p)
        renderPart(static_cast<Part>(p), firstSample, fromBar, toBar, duck, mix, reverbSend,
                   delaySend);

    {
        StereoBuffer drums(n), drumSend(n);
        for (const DrumHit& hit : score_.drums) {
            if (!inRange(hit.bar, fromBar, toBar)) continue;
            DrumHit scaled = hit;
            scaled.velocity = hit.velocity * instruments::drumGain(hit.drum);
            kit_.render(scaled, firstSample, drums);
            const float send = instruments::drumReverbSend(hit.drum);
            if (send > 0.0f) {
                scaled.velocity *= send;
                kit_.render(scaled, firstSample, drumSend);
            }
        }
        mix.mixIn(drums, 1.0f);
        reverbSend.mixIn(drumSend, 1.0f);
    }

    {
        StereoBuffer fx(n);
        uint32_t seed = 0x2545f491u;
        for (const Sweep& sweep : score_.sweeps) {
            seed = seed * 1664525u + 1013904223u;
            if (inRange(sweep.startBar, fromBar, toBar)) sweep.render(firstSample, seed, fx);
        }
        mix.mixIn(fx, 0.5f);
        reverbSend.mixIn(fx, 0.3f);
    }

    // A dotted eighth: three 16ths, so the echoes land on the grid and syncopate against it.
    const StereoDelay delay(3.0 * timeline::kSecondsPerBeat / 4.0, 0.42, 4500.0, 250.0);
    const StereoBuffer echoes = delay.process(delaySend);
    mix.mixIn(echoes, 0.6f);
    reverbSend.mixIn(echoes, 0.3f);

    Reverb hall(2.8, 5000.0, 0.02);
    mix.mixIn(hall.process(reverbSend), 0.6f);
    return mix;
}
