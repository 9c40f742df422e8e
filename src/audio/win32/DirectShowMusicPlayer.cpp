// DirectShowMusicPlayer: the soundtrack on Windows.
//
// Implemented:
// - open() builds a filter graph: the file as source filter "piisi", its "Output" pin rendered to
//   the default audio output, the volume 0.20 dB below full, media time, the duration, position 0,
//   stopped. Only the four interfaces stay referenced; they keep the graph alive. The destructor
//   stops the graph before it releases them, so nothing still streams into a renderer that is
//   being torn down.
// - play() runs the graph; seek() clamps to [0, duration], truncates to 100 ns, stops, repositions
//   and runs again only when playing; position() is the graph's current position held to real
//   time (PlaybackClock): never more than 50 ms ahead of the monotonic clock since play or seek,
//   and going on with the wall clock once the graph reports the end of the stream (its own
//   position stops there).
// - When the graph cannot be built (no file, no decoder, no audio device): one line on standard
//   output naming the failed step, then the position runs from the wall clock from play() on;
//   seek still works, clamping only at 0.
// - pause() pauses the graph, play() runs it again. Around a pause, a resume and a jump the volume
//   ramps over about 4 ms (four steps of a millisecond), so the output does not click.
#include "audio/win32/DirectShowMusicPlayer.h"

#include <dshow.h>

#include <cstdio>

#include "audio/MusicPosition.h"

namespace {

const long kVolume = -20;         // 1/100 dB: 0.20 dB below full
const long kQuietVolume = -6000;  // -60 dB, inaudible
const int kRampSteps = 4;

template <typename T>
void releaseOnce(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

}  // namespace

DirectShowMusicPlayer::DirectShowMusicPlayer(const std::string& path) {
    path_.resize(path.size() + 1);
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &path_[0],
                                      static_cast<int>(path_.size()));
    path_.resize(n > 0 ? static_cast<std::size_t>(n) - 1 : 0);
}

DirectShowMusicPlayer::~DirectShowMusicPlayer() {
    release();
}

void DirectShowMusicPlayer::release() {
    if (control_) control_->Stop();
    releaseOnce(audio_);
    releaseOnce(events_);
    releaseOnce(control_);
    releaseOnce(seeking_);
}

void DirectShowMusicPlayer::open() {
    release();
    playing_ = paused_ = false;
    durationSeconds_ = 0.0;
    clock_.reset();
    wallClock_ = WallClock();

    CoInitialize(nullptr);
    IGraphBuilder* graph = nullptr;
    IBaseFilter* source = nullptr;
    IPin* pin = nullptr;
    const char* step = nullptr;
    HRESULT hr =
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                         IID_IGraphBuilder, reinterpret_cast<void**>(&graph));
    if (FAILED(hr)) step = "creating the filter graph";
    if (!step) {
        hr = graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control_));
        if (SUCCEEDED(hr))
            hr = graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking_));
        if (SUCCEEDED(hr))
            hr = graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio_));
        if (SUCCEEDED(hr))
            hr = graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events_));
        if (FAILED(hr)) step = "querying the graph's control interfaces";
    }
    if (!step && FAILED(hr = graph->AddSourceFilter(path_.c_str(), L"piisi", &source)))
        step = "opening the file";
    if (!step && FAILED(hr = source->FindPin(L"Output", &pin))) step = "finding the file's output";
    if (!step && FAILED(hr = graph->Render(pin)))
        step = "connecting a decoder and the audio output";
    LONGLONG duration = 0;
    if (!step) {
        audio_->put_Volume(kVolume);
        seeking_->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
        if (FAILED(hr = seeking_->GetDuration(&duration))) step = "reading the duration";
    }
    releaseOnce(pin);
    releaseOnce(source);
    releaseOnce(graph);

    if (step) {
        release();
        std::printf("Cannot play %ls: %s failed (0x%08lx); the demo runs on the wall clock\n",
                    path_.c_str(), step, static_cast<unsigned long>(hr));
        return;
    }
    durationSeconds_ = secondsOfPosition(duration);
    LONGLONG current = 0, stop = 0;
    seeking_->SetPositions(&current, AM_SEEKING_AbsolutePositioning, &stop,
                           AM_SEEKING_NoPositioning);
}

void DirectShowMusicPlayer::play() {
    if (playing_) return;
    playing_ = true;
    const bool resuming = paused_;
    paused_ = false;
    if (!control_) {
        wallClock_.start();
        return;
    }
    LONGLONG current = 0;
    seeking_->GetCurrentPosition(&current);
    clock_.start(current);
    completed_ = false;
    if (resuming) audio_->put_Volume(kQuietVolume);
    control_->Run();
    if (resuming) rampVolume(true);
}

void DirectShowMusicPlayer::pause() {
    if (!playing_) return;
    playing_ = false;
    paused_ = true;
    if (!control_) {
        wallClock_.stop();
        return;
    }
    rampVolume(false);
    control_->Pause();
    audio_->put_Volume(kVolume);
}

// From full to quiet or back, in steps a millisecond apart.
void DirectShowMusicPlayer::rampVolume(bool up) {
    for (int i = 1; i <= kRampSteps; ++i) {
        const int step = up ? i : kRampSteps - i;
        audio_->put_Volume(kQuietVolume + (kVolume - kQuietVolume) * step / kRampSteps);
        Sleep(1);
    }
}

int DirectShowMusicPlayer::seek(double seconds) {
    double v = seconds > 0.0 ? seconds : 0.0;  // NaN too
    if (control_ && v > durationSeconds_) v = durationSeconds_;
    if (v > kMaxSeekSeconds) v = kMaxSeekSeconds;
    LONGLONG p = positionOfSeconds(v);
    if (!control_) {
        wallClock_.setPosition(p);
        return 0;
    }
    if (playing_) rampVolume(false);
    control_->Stop();
    LONGLONG stop = p;
    seeking_->SetPositions(&p, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_NoPositioning);
    streamEnded();  // drops an end of stream from before the seek
    completed_ = false;
    if (playing_) {
        clock_.start(p);
        control_->Run();
        rampVolume(true);
    }
    return 0;
}

std::int64_t DirectShowMusicPlayer::position() {
    if (!seeking_) return wallClock_.position();
    LONGLONG current = 0;
    seeking_->GetCurrentPosition(&current);
    if (!playing_) return current;
    return clock_.position(current, streamEnded());
}

// The graph's position stops at the last sample rendered, which can lie short of the duration it
// announced: the end is the graph's EC_COMPLETE.
bool DirectShowMusicPlayer::streamEnded() {
    long code = 0;
    LONG_PTR first = 0, second = 0;
    while (events_->GetEvent(&code, &first, &second, 0) == S_OK) {
        if (code == EC_COMPLETE) completed_ = true;
        events_->FreeEventParams(code, first, second);
    }
    return completed_;
}
