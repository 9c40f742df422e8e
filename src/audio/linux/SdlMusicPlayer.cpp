// SdlMusicPlayer: the soundtrack on the Linux desktop.
//
// Implemented:
// - open() decodes the whole MP3 once with mpg123 in gapless mode (no encoder delay or padding),
//   keeping the file's rate and channels, as 32-bit float with the gain of -0.20 dB applied.
// - Playback through an SDL audio device (SDL_INIT_AUDIO only; SDL converts to what the device
//   takes). SDL_AUDIODRIVER picks the driver ("dummy" plays silently at about real speed).
// - position(): frames handed to the device, interpolated between callbacks with the monotonic
//   clock, so it moves smoothly (sub-millisecond steps) instead of a buffer at a time; it never
//   goes back except by seek and waits when the device is late. Held to real time
//   (PlaybackClock): never more than 50 ms ahead of the monotonic clock since play or seek (a
//   device that takes samples faster, such as ALSA's null device, is named in one line and the
//   wall clock takes over), and past the end of the soundtrack it goes on with the wall clock.
// - seek() clamps to [0, duration], truncates to 100 ns, and leaves a stopped player stopped.
// - pause() holds the position; play() resumes from it. A jump, a pause and a resume cross-fade
//   the output over 4 ms (from the old samples or silence to the new ones or silence), so none
//   clicks; the position itself jumps at once.
// - Without a readable soundtrack or without an audio device: one line on standard output, then
//   the position runs from the wall clock from play() on, past the duration too; seek still
//   works.
// Missing: volume control beyond the fixed gain, stop.
// Differs: the position is that of the samples handed to the device, about one buffer (23 ms at
//   44.1 kHz) ahead of what is heard. With an unknown duration (the file could not be decoded)
//   seek clamps only at 0. ALSA's own error printing is silenced (SDL reports its failures).
#include "audio/linux/SdlMusicPlayer.h"

#include <SDL.h>
#include <dlfcn.h>
#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/MusicPosition.h"
#include "geometry/AssetFile.h"

namespace {

const float kGain = 0.97723722f;  // 10^(-0.2 / 20): 0.20 dB below full
constexpr int kMaxSeconds = 600;  // a longer file plays its first ten minutes
constexpr std::uint16_t kDeviceFrames = 1024;
constexpr int kFadesPerSecond = 250;  // 4 ms cross-fades around jumps, pauses and resumes

const char* kWallClockNote = "the music position follows the wall clock";

void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// Where ALSA has no card, its probing prints a screenful of errors of its own; SDL reports the
// failure anyway and we say it in one line. SDL loads the same library, so the handler holds.
void quietAlsa() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    void* alsa = dlopen("libasound.so.2", RTLD_NOW);
    if (!alsa) return;
    if (auto setHandler =
            reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler")))
        setHandler(&ignoreAlsaMessage);
}

}  // namespace

SdlMusicPlayer::SdlMusicPlayer(std::string path) : path_(std::move(path)) {}

SdlMusicPlayer::~SdlMusicPlayer() {
    close();
}

void SdlMusicPlayer::close() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device_ = 0;
    }
}

void SdlMusicPlayer::open() {
    close();
    playing_ = false;
    cursor_ = anchor_ = handedEnd_ = 0;
    paused_ = false;
    fadeLeft_ = 0;
    clock_.reset();
    wallClock_ = WallClock();
    if (decode()) openDevice();
}

bool SdlMusicPlayer::decode() {
    pcm_.clear();
    rate_ = channels_ = 0;
    frames_ = durationUnits_ = 0;
    duration_ = 0.0;

    // Opened without waiting and only as a regular file of an asset's size: mpg123 then reads
    // what is there, never a FIFO or an endless device.
    std::string refused;
    std::FILE* file = openAssetFile(path_, refused);
    if (!file) {
        std::printf("Cannot open %s (%s): %s\n", path_.c_str(),
                    refused.empty() ? std::strerror(errno) : refused.c_str(), kWallClockNote);
        return false;
    }
    struct FileCloser {
        std::FILE* file;
        ~FileCloser() { std::fclose(file); }
    } closer{file};

    int error = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &error);
    if (!mh) {
        std::printf("Cannot start the MP3 decoder (%s): %s\n", mpg123_plain_strerror(error),
                    kWallClockNote);
        return false;
    }
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    // Float output at the file's own rate and channel count.
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    mpg123_format_none(mh);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_open_fd(mh, fileno(file)) != MPG123_OK ||
        mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels <= 0 || encoding != MPG123_ENC_FLOAT_32) {
        std::printf("Cannot decode %s as MP3 (%s): %s\n", path_.c_str(), mpg123_strerror(mh),
                    kWallClockNote);
        mpg123_delete(mh);
        return false;
    }
    // One fixed output format: a stream that changes rate midway ends there.
    mpg123_format_none(mh);
    mpg123_format(mh, rate, channels, MPG123_ENC_FLOAT_32);

    const size_t maxSamples = static_cast<size_t>(kMaxSeconds) * rate * channels;
    const off_t estimate = mpg123_length(mh);
    if (estimate > 0)
        pcm_.reserve(std::min(maxSamples, static_cast<size_t>(estimate + rate) * channels));
    std::vector<unsigned char> chunk(64 * 1024);
    int result = MPG123_OK;
    while (pcm_.size() < maxSamples) {
        size_t bytes = 0;
        result = mpg123_read(mh, chunk.data(), chunk.size(), &bytes);
        const size_t count = std::min(bytes / sizeof(float), maxSamples - pcm_.size());
        const size_t start = pcm_.size();
        pcm_.resize(start + count);
        std::memcpy(pcm_.data() + start, chunk.data(), count * sizeof(float));
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
    }
    pcm_.resize(pcm_.size() - pcm_.size() % channels);
    if (pcm_.empty()) {
        std::printf("Cannot decode %s as MP3 (%s): %s\n", path_.c_str(),
                    result == MPG123_DONE ? "no audio in it" : mpg123_strerror(mh), kWallClockNote);
        mpg123_delete(mh);
        return false;
    }
    if (pcm_.size() >= maxSamples)
        std::printf("%s is longer than %d s: playing its beginning only\n", path_.c_str(),
                    kMaxSeconds);
    else if (result != MPG123_DONE)
        std::printf("%s: decoding stopped at %.2f s (%s)\n", path_.c_str(),
                    static_cast<double>(pcm_.size() / channels) / rate, mpg123_strerror(mh));
    mpg123_delete(mh);

    for (float& sample : pcm_) sample *= kGain;
    rate_ = static_cast<int>(rate);
    channels_ = channels;
    frames_ = static_cast<std::int64_t>(pcm_.size()) / channels;
    durationUnits_ = unitsOf(frames_);
    duration_ = static_cast<double>(frames_) / rate_;
    return true;
}

bool SdlMusicPlayer::openDevice() {
    quietAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::printf("No audio output (%s): %s\n", SDL_GetError(), kWallClockNote);
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = rate_;
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(channels_);
    want.samples = kDeviceFrames;
    want.callback = &SdlMusicPlayer::fill;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        std::printf("No audio device (%s): %s\n", SDL_GetError(), kWallClockNote);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;  // paused until play()
}

void SdlMusicPlayer::fill(void* self, std::uint8_t* stream, int length) {
    SdlMusicPlayer& p = *static_cast<SdlMusicPlayer*>(self);
    const Clock::time_point now = Clock::now();
    const std::int64_t frames = length / static_cast<int>(sizeof(float) * p.channels_);
    const std::int64_t first = p.cursor_;
    const std::int64_t count =
        p.paused_ ? 0 : std::max<std::int64_t>(0, std::min(frames, p.frames_ - first));
    const size_t bytes = static_cast<size_t>(count) * p.channels_ * sizeof(float);
    if (count > 0) std::memcpy(stream, p.pcm_.data() + first * p.channels_, bytes);
    std::memset(stream + bytes, 0, static_cast<size_t>(length) - bytes);
    p.blendFade(reinterpret_cast<float*>(stream), frames);
    if (p.paused_) return;  // the held position stays where pause() put it

    p.cursor_ = first + count;
    // The device has consumed everything before this buffer and now plays through it.
    p.anchor_ = p.unitsOf(first);
    p.anchorTime_ = now;
    p.handedEnd_ = p.unitsOf(p.cursor_);
}

void SdlMusicPlayer::play() {
    if (playing_) return;
    playing_ = true;
    if (device_ == 0) {
        wallClock_.start();
        return;
    }
    SDL_LockAudioDevice(device_);
    if (paused_) {
        startFade();
        paused_ = false;
    }
    anchorTime_ = Clock::now();
    handedEnd_ = anchor_;
    clock_.start(anchor_);
    SDL_UnlockAudioDevice(device_);
    SDL_PauseAudioDevice(device_, 0);
}

int SdlMusicPlayer::seek(double seconds) {
    double v = seconds > 0.0 ? seconds : 0.0;  // NaN too
    if (durationUnits_ > 0 && v > duration_) v = duration_;
    if (v > kMaxSeekSeconds) v = kMaxSeekSeconds;
    const std::int64_t target = positionOfSeconds(v);
    if (device_ == 0) {
        wallClock_.setPosition(target);
        return 0;
    }
    SDL_LockAudioDevice(device_);
    startFade();
    // The first frame at or after the target, so the clock resumes at or just past it.
    cursor_ =
        std::min(frames_, (target * rate_ + kPositionUnitsPerSecond - 1) / kPositionUnitsPerSecond);
    anchor_ = target;
    handedEnd_ = target;
    anchorTime_ = Clock::now();
    SDL_UnlockAudioDevice(device_);
    if (playing_) clock_.start(target);
    return 0;
}

std::int64_t SdlMusicPlayer::position() {
    // Without a device the wall clock runs on past the duration, like the clock held below.
    if (device_ == 0) return wallClock_.position();
    SDL_LockAudioDevice(device_);
    const std::int64_t anchor = anchor_, handedEnd = handedEnd_;
    const Clock::time_point anchorTime = anchorTime_;
    SDL_UnlockAudioDevice(device_);
    if (!playing_) return anchor;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - anchorTime);
    const std::int64_t device = std::min(anchor + elapsed.count() / 100, handedEnd);
    return clock_.position(device, device >= durationUnits_);
}

void SdlMusicPlayer::pause() {
    if (!playing_) return;
    const std::int64_t held = position();
    playing_ = false;
    if (device_ == 0) {
        wallClock_.stop();
        return;
    }
    SDL_LockAudioDevice(device_);
    startFade();
    paused_ = true;
    cursor_ =
        std::min(frames_, (held * rate_ + kPositionUnitsPerSecond - 1) / kPositionUnitsPerSecond);
    anchor_ = handedEnd_ = held;
    SDL_UnlockAudioDevice(device_);
}

// With the device locked: the next buffer fades out what the device was about to play.
void SdlMusicPlayer::startFade() {
    fadeFrom_ = paused_ ? -1 : cursor_;
    fadeLeft_ = std::max(1, rate_ / kFadesPerSecond);
}

// Mixes the fading samples into `out`, their weight falling linearly to 0.
void SdlMusicPlayer::blendFade(float* out, std::int64_t frames) {
    const std::int64_t total = std::max(1, rate_ / kFadesPerSecond);
    const std::int64_t n = std::min(fadeLeft_, frames);
    for (std::int64_t i = 0; i < n; ++i) {
        const float w = static_cast<float>(fadeLeft_ - i) / static_cast<float>(total);
        const std::int64_t from = fadeFrom_ < 0 ? -1 : fadeFrom_ + i;
        for (int c = 0; c < channels_; ++c) {
            const float old = from >= 0 && from < frames_ ? pcm_[from * channels_ + c] : 0.0f;
            float& sample = out[i * channels_ + c];
            sample = sample * (1.0f - w) + old * w;
        }
    }
    if (fadeFrom_ >= 0) fadeFrom_ += n;
    fadeLeft_ -= n;
}

std::int64_t SdlMusicPlayer::framesHanded() {
    if (device_ == 0) return 0;
    SDL_LockAudioDevice(device_);
    const std::int64_t frames = cursor_;
    SDL_UnlockAudioDevice(device_);
    return frames;
}

std::int64_t SdlMusicPlayer::unitsOf(std::int64_t frames) const {
    return frames * kPositionUnitsPerSecond / rate_;
}
