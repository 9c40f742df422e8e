#pragma once
#include "audio/MusicPlayer.h"

// Headless capture: the position is whatever the caller sets (frame n at n / fps), so every frame
// shows exactly its time however long it takes to draw. Plays no sound.
class FrameClockMusicPlayer : public MusicPlayer {
public:
    explicit FrameClockMusicPlayer(double durationSeconds = 0.0) : duration_(durationSeconds) {}

    void open() override { position_ = 0; }
    void play() override { playing_ = true; }
    void pause() override { playing_ = false; }
    int seek(double seconds) override;
    std::int64_t position() override { return position_; }
    double durationSeconds() const override { return duration_; }

    void setPosition(std::int64_t position) { position_ = position; }
    bool playing() const { return playing_; }

private:
    double duration_;
    std::int64_t position_ = 0;
    bool playing_ = false;
};
