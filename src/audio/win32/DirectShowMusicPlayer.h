#pragma once
#include <cstdint>
#include <string>

#include "audio/MusicPlayer.h"
#include "audio/PlaybackClock.h"
#include "audio/WallClock.h"

struct IMediaControl;
struct IMediaSeeking;
struct IBasicAudio;
struct IMediaEvent;

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
    bool streamEnded();

    std::wstring path_;
    double durationSeconds_ = 0.0;
    IMediaControl* control_ = nullptr;
    IMediaSeeking* seeking_ = nullptr;
    IBasicAudio* audio_ = nullptr;
    IMediaEvent* events_ = nullptr;
    bool completed_ = false;  // the graph said the stream has ended, since the last play or seek
    bool playing_ = false;
    bool paused_ = false;  // by pause(): the next play() fades in
    PlaybackClock clock_;  // the graph's position held to real time
    WallClock wallClock_;  // without a graph
};
