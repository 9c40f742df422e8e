#pragma once
#include <cstdint>

#include "audio/WallClock.h"

// The position a playing soundtrack reports, made from the audio device's own position and held to
// real time. Two devices would otherwise break the demo: one that takes samples faster than they
// play (ALSA's null device swallows the whole soundtrack in a second) and a soundtrack shorter
// than the demo, whose position stops at its end and freezes the picture.
// - The position never runs more than kTolerance ahead of the monotonic clock since play or the
//   last seek. A device found more than kNotPacing ahead does not pace playback at all: one line
//   says so, and from then on the position follows the wall clock (until the player is opened
//   again). In between (a device that fills its buffers in a burst at the start, or whose clock
//   runs a little fast) the position is held back but the device stays trusted.
// - Once the device reaches the end of the soundtrack the position goes on from there with the
//   wall clock, so the demo still reaches its last bar.
// - Never goes back except by start (a seek).
class PlaybackClock {
public:
    static constexpr std::int64_t kTolerance = 500000;   // 50 ms in 100 ns units
    static constexpr std::int64_t kNotPacing = 2500000;  // 250 ms: ten buffers of 1024 frames

    // Playback starts (play, or a seek while playing) with the device at `position`.
    void start(std::int64_t position);
    // A new device, not playing yet: until start() the device's position is reported as it is.
    void reset();
    // The position to report for the device's `device`; `ended`: the device has played the
    // whole soundtrack.
    std::int64_t position(std::int64_t device, bool ended);
    bool followsWallClock() const { return !paced_; }

private:
    WallClock wall_;     // runs from play or the last seek
    WallClock pastEnd_;  // runs from where the device ended
    bool paced_ = true;  // false once the device ran ahead of real time
    bool ended_ = false;
    std::int64_t last_ = 0;  // the last position reported since start
};
