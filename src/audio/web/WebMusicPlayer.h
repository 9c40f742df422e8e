#pragma once
#include <cstdint>
#include <string>

#include "audio/MediaClock.h"
#include "audio/MusicPlayer.h"
#include "audio/WallClock.h"

// The soundtrack in the browser: the page's <audio> element plays the MP3 with the browser's own
// decoder. See the .cpp for what it does and how it differs from the other players.
class WebMusicPlayer : public MusicPlayer {
public:
    void open() override;
    void play() override;
    int seek(double seconds) override;
    std::int64_t position() override;
    double durationSeconds() const override { return duration_; }

    void pause() override;
    bool playing() const { return playing_; }
    // False once the position follows the wall clock (no element, a load error, play refused).
    bool audible() const { return !onWallClock_; }

private:
    void fallBackToWallClock(const std::string& reason);

    double duration_ = 0.0;
    std::int64_t durationUnits_ = 0;
    bool playing_ = false;
    bool onWallClock_ = false;
    MediaClock clock_;
    WallClock wallClock_;
};
