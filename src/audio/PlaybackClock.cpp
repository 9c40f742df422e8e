#include "audio/PlaybackClock.h"

#include <algorithm>
#include <cstdio>

void PlaybackClock::start(std::int64_t position) {
    wall_ = WallClock();
    wall_.setPosition(position);
    wall_.start();
    pastEnd_ = WallClock();
    ended_ = false;
    last_ = position;
}

void PlaybackClock::reset() {
    *this = PlaybackClock();
}

std::int64_t PlaybackClock::position(std::int64_t device, bool ended) {
    if (!wall_.running()) return device;
    std::int64_t p;
    if (!paced_) {
        p = wall_.position();
    } else if (ended_) {
        p = pastEnd_.position();
    } else if (device > wall_.position() + kNotPacing) {
        paced_ = false;
        std::printf(
            "The audio device takes the music faster than it plays: the music position follows "
            "the wall clock\n");
        p = wall_.position();
    } else if (ended) {
        // The last position the device gives, held to real time like any other (a renderer that
        // took its last buffers early ends early); the wall clock goes on from there.
        ended_ = true;
        p = std::max(last_, std::min(device, wall_.position() + kTolerance));
        pastEnd_.setPosition(p);
        pastEnd_.start();
    } else {
        p = std::min(device, wall_.position() + kTolerance);
    }
    last_ = std::max(last_, p);
    return last_;
}
