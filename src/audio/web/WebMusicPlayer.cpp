// WebMusicPlayer: the soundtrack in the browser.
//
// Implemented:
// - The page makes an <audio> element for the MP3 and waits for its metadata before the load
//   phase, so open() knows the duration. The browser decodes and plays; the wasm carries no
//   decoder.
// - position(): the element's current time, interpolated against performance.now() between its
//   coarse updates (MediaClock), never going back except by seek, held while the element stalls
//   or is paused, and at the duration once it has ended.
// - seek() clamps to [0, duration], truncates to 100 ns and moves the element; a stopped player
//   stays stopped. pause() stops the sound and the position; play() goes on from there.
// - Without a playable element (missing file, a decode error, a file that ends before its stated
//   duration, or the browser refusing to start sound without a click): one line on standard output,
//   then the position runs from the wall clock, stopping at the duration when it is known; seek and
//   pause still work.
// Differs: the position is what the browser reports as heard, not samples handed to a device.
#include "audio/web/WebMusicPlayer.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/MusicPosition.h"

// The EM_JS bodies are JavaScript, which clang-format would mangle.
// clang-format off
// The element the page made, and why it cannot play (empty when it can), in Module.velmoraAudio.
EM_JS(double, velmora_audio_duration, (), {
    const audio = Module.velmoraAudio;
    const d = audio && audio.element ? audio.element.duration : NaN;
    if (audio) audio.openedDuration = d;
    return isFinite(d) && d > 0 ? d : 0;
});

// A file cut short plays what it has and then ends, its time jumping to the stated duration: that
// is a failure too, noticed here before the time is read (audio.heard: the page's wall-clock
// estimate of how far it played).
EM_JS(int, velmora_audio_failure, (char* text, int size), {
    const audio = Module.velmoraAudio;
    const e = audio && audio.element;
    if (e && !audio.failed && e.ended && audio.heard && audio.heard() + 2 < audio.openedDuration)
        audio.failed = "it ends at " + audio.heard().toFixed(1) + " s of " +
                       audio.openedDuration.toFixed(1) + " s";
    const reason = !audio || !audio.element ? "the page has no audio element" : audio.failed || "";
    stringToUTF8(reason, text, size);
    return reason.length > 0;
});

EM_JS(void, velmora_audio_play, (), {
    const audio = Module.velmoraAudio;
    audio.element.play().catch(
        (e) => { audio.failed = "the browser did not start the sound (" + e.name + ")"; });
});

EM_JS(void, velmora_audio_pause, (), { Module.velmoraAudio.element.pause(); });

EM_JS(void, velmora_audio_seek, (double seconds),
      { Module.velmoraAudio.element.currentTime = seconds; });

// The element's current time in seconds; *nowMs gets performance.now() and *running whether the
// sound is advancing (playing, not ended, not seeking, enough data).
EM_JS(double, velmora_audio_time, (double* nowMs, int* running), {
    const e = Module.velmoraAudio.element;
    HEAPF64[nowMs >> 3] = performance.now();
    HEAP32[running >> 2] = !e.paused && !e.ended && !e.seeking && e.readyState >= 3 ? 1 : 0;
    return e.currentTime;
});
// clang-format on

void WebMusicPlayer::open() {
    playing_ = false;
    onWallClock_ = false;
    wallClock_ = WallClock();
    clock_.reset(0);
    duration_ = velmora_audio_duration();
    durationUnits_ = positionOfSeconds(duration_);
    char reason[256];
    if (velmora_audio_failure(reason, sizeof reason)) {
        fallBackToWallClock(reason);
        return;
    }
    velmora_audio_pause();
    velmora_audio_seek(0.0);
}

void WebMusicPlayer::fallBackToWallClock(const std::string& reason) {
    if (onWallClock_) return;
    std::printf("Cannot play %s: %s; the demo runs on the wall clock\n", kSoundtrackPath,
                reason.c_str());
    onWallClock_ = true;
    wallClock_.setPosition(clock_.position());
    if (playing_) wallClock_.start();
}

void WebMusicPlayer::play() {
    if (playing_) return;
    playing_ = true;
    if (onWallClock_) {
        wallClock_.start();
        return;
    }
    velmora_audio_play();
}

void WebMusicPlayer::pause() {
    if (!playing_) return;
    playing_ = false;
    if (onWallClock_) {
        wallClock_.stop();
        return;
    }
    velmora_audio_pause();
}

int WebMusicPlayer::seek(double seconds) {
    if (std::isnan(seconds)) seconds = 0.0;
    seconds = std::max(0.0, std::min(seconds, kMaxSeekSeconds));
    if (duration_ > 0.0) seconds = std::min(seconds, duration_);
    const std::int64_t target = positionOfSeconds(seconds);
    clock_.reset(target);
    wallClock_.setPosition(target);
    if (!onWallClock_) velmora_audio_seek(secondsOfPosition(target));
    return 0;
}

std::int64_t WebMusicPlayer::position() {
    if (!onWallClock_) {
        char reason[256];
        if (velmora_audio_failure(reason, sizeof reason)) fallBackToWallClock(reason);
    }
    if (onWallClock_) {
        std::int64_t p = wallClock_.position();
        if (durationUnits_ > 0) p = std::min(p, durationUnits_);
        return p;
    }
    double nowMs = 0.0;
    int running = 0;
    const double seconds = velmora_audio_time(&nowMs, &running);
    return clock_.update(positionOfSeconds(seconds), nowMs, running != 0 && playing_);
}
