#pragma once

#include <cmath>
#include <cstdint>

#include "demo/Tempo.h"

// The soundtrack's clock: the demo's tempo, 44.1 kHz. Positions in the score are bars
// (a 16th note is 1/16 of a bar); every sample position is rounded once from the exact bar time,
// so nothing drifts however far into the song a note sits.
namespace timeline {

constexpr int kSampleRate = 44100;
using ::kBeatsPerMinute;
constexpr double kSecondsPerBar = kBeatsPerBar * 60.0 / kBeatsPerMinute;
constexpr double kSecondsPerBeat = 60.0 / kBeatsPerMinute;
constexpr double kStep = 1.0 / 16.0;  // one 16th note, in bars

// The demo stops after bar 142; the file runs a little longer so the tail ends in silence.
constexpr double kSongSeconds = 193.0;
constexpr int64_t kSongSamples = static_cast<int64_t>(kSongSeconds * kSampleRate);

inline int64_t sampleAtBar(double bar) {
    return std::llround(bar * (kBeatsPerBar * 60.0) * kSampleRate / kBeatsPerMinute);
}

inline double secondsAtBar(double bar) {
    return bar * kSecondsPerBar;
}

inline double barsToSeconds(double bars) {
    return bars * kSecondsPerBar;
}

inline double barAtSample(int64_t sample) {
    return static_cast<double>(sample) * kBeatsPerMinute / (kBeatsPerBar * 60.0 * kSampleRate);
}

inline double midiToHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

}  // namespace timeline
