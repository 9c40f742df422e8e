#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/MusicPlayer.h"
#include "audio/PlaybackClock.h"
#include "audio/WallClock.h"

// The soundtrack on Linux: decoded once by mpg123, played through SDL audio. See the .cpp for what
// it does and how it differs from the other players.
class SdlMusicPlayer : public MusicPlayer {
public:
    explicit SdlMusicPlayer(std::string path = kSoundtrackPath);
    ~SdlMusicPlayer() override;
    SdlMusicPlayer(const SdlMusicPlayer&) = delete;
    SdlMusicPlayer& operator=(const SdlMusicPlayer&) = delete;

    void open() override;
    void play() override;
    void pause() override;
    int seek(double seconds) override;
    std::int64_t position() override;
    double durationSeconds() const override { return duration_; }

    // False when the position follows the wall clock (no file, no decoder output or no device).
    bool audible() const { return device_ != 0; }
    // For the clock benchmark: frames handed to the audio device so far, and their rate.
    std::int64_t framesHanded();
    int sampleRate() const { return rate_; }

private:
    using Clock = std::chrono::steady_clock;

    bool decode();
    bool openDevice();
    void close();
    static void fill(void* self, std::uint8_t* stream, int length);
    std::int64_t unitsOf(std::int64_t frames) const;
    void startFade();
    void blendFade(float* out, std::int64_t frames);

    std::string path_;
    std::vector<float> pcm_;  // interleaved, gain applied
    int rate_ = 0;
    int channels_ = 0;
    std::int64_t frames_ = 0;
    std::int64_t durationUnits_ = 0;  // 0: unknown (nothing decoded)
    double duration_ = 0.0;
    std::uint32_t device_ = 0;
    bool playing_ = false;

    // Shared with the audio callback, guarded by the device lock.
    std::int64_t cursor_ = 0;     // next frame to hand to the device
    std::int64_t anchor_ = 0;     // position the device was at anchorTime_
    std::int64_t handedEnd_ = 0;  // position up to which frames have been handed over
    Clock::time_point anchorTime_{};
    // Pause and jumps cross-fade over a few milliseconds, so the output never steps: from frame
    // fadeFrom_ (-1: from silence) for fadeLeft_ more frames. While paused_ the device plays
    // silence and the cursor stays.
    bool paused_ = false;
    std::int64_t fadeFrom_ = -1;
    std::int64_t fadeLeft_ = 0;

    PlaybackClock clock_;  // the device's position held to real time
    WallClock wallClock_;  // without a device
};
