#pragma once

#include <cstdint>

#include "DrumKit.h"
#include "Score.h"
#include "StereoBuffer.h"

class Sidechain;

// Plays a score through the instruments and the mix: every part into its own track, the kick's
// sidechain over the tracks, the sends through the delay and the hall, all summed unmastered.
class Soundtrack {
public:
    explicit Soundtrack(Score score);

    // The mix of song samples [firstSample, firstSample + frames). Only notes that start inside the
    // range (or up to four bars before it) sound, so an excerpt renders quickly.
    StereoBuffer render(int64_t firstSample, int64_t frames) const;

    StereoBuffer renderBars(double firstBar, double endBar) const;
    StereoBuffer renderSong() const;

    const Score& score() const { return score_; }

private:
    void renderPart(Part part, int64_t firstSample, double fromBar, double toBar,
                    const Sidechain& duck, StereoBuffer& mix, StereoBuffer& reverbSend,
                    StereoBuffer& delaySend) const;

    Score score_;
    DrumKit kit_;
};
