#pragma once
#include <cstdint>
#include <string>

#include "audio/MusicPlayer.h"
#include "audio/WallClock.h"

struct IMediaControl;
struct IMediaSeeking;
struct IBasicAudio;

// The soundtrack on Windows, through a DirectShow filter graph. See the .cpp for what it does and
// how it differs from the other players.
class DirectShowMusicPlayer : public MusicPlayer {
public:
    explicit DirectShowMusicPlayer(const std::string& path = kSoundtrackPath);
    ~DirectShowMusicPlayer() override;
    DirectShowMusicPlayer(const DirectShowMusicPlayer&) = delete;
    DirectShowMusicPlayer& operator=(const DirectShowMusicPlayer&) = delete;

    void open() override;
    void play() override;
    void pause() override;
    int seek(double seconds) override;
    std::int64_t position() override;
    double durationSeconds() const override { return durationSeconds_; }

    // False when the position follows the wall clock (the graph could not be built).
    bool audible() const { return control_ != nullptr; }

private:
    void release();
    void rampVolume(bool up);

    std::wstring path_;
    double durationSeconds_ = 0.0;
    IMediaControl* control_ = nullptr;
    IMediaSeeking* seeking_ = nullptr;
    IBasicAudio* audio_ = nullptr;
    bool playing_ = false;
    bool paused_ = false;  // by pause(): the next play() fades in
    WallClock wallClock_;
};
