#pragma once
#include <cstdint>

// The soundtrack. Its position, in 100 ns units, is the clock every frame is drawn from.
// Implementations: SDL audio with mpg123 decoding (Linux desktop), a position set by the caller
// (headless capture), DirectShow (Windows). When the soundtrack cannot be played the players say
// so once and let the position run from a monotonic wall clock instead. The playing ones hold the
// position to real time (PlaybackClock): it never runs ahead of the wall clock by more than 50 ms,
// and goes on with it past the end of a soundtrack shorter than the demo.
class MusicPlayer {
public:
    static constexpr const char* kSoundtrackPath = "assets/tunevox_11.mp3";
    // Seeks go no further: beyond this a position in 100 ns units overflows 64 bits.
    static constexpr double kMaxSeekSeconds = 9.0e11;

    virtual ~MusicPlayer() = default;
    // Prepares the soundtrack, stopped at position 0.
    virtual void open() = 0;
    virtual void play() = 0;
    // Holds the position where it is, silencing the output over a few milliseconds; play() or
    // resume() goes on from there. Seeks while paused move the held position.
    virtual void pause() = 0;
    void resume() { play(); }
    // Moves to `seconds`, clamped to [0, durationSeconds], at the nearest position; a stopped
    // player stays stopped. NaN counts as 0.
    virtual int seek(double seconds) = 0;
    // Current position in 100 ns units.
    virtual std::int64_t position() = 0;
    virtual double durationSeconds() const = 0;
};
