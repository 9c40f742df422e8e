// Developer mode. Keys (as DemoWindow records them, each press with the modifiers it went down
// with, so a late frame still tells Shift+Right from Right):
//   Space pause/resume · Left/Right one bar · Shift+Left/Right one beat · Page Up/Down previous/
//   next scene start · Home the start · L loop the scene (again: off) · [ ] loop in/out point ·
//   Tab the overlay · Escape quit.
// Every transport action prints one line such as "position 21.000b paused"; every reload prints
// one line ("reloaded <path> in 12 ms" or what failed, then the compiler's log).
#include "app/dev/DevMode.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "app/DemoMain.h"
#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "app/dev/AssetReloader.h"
#include "app/dev/AssetWatcher.h"
#include "app/dev/DevOverlay.h"
#include "app/dev/Transport.h"
#include "audio/MusicPlayer.h"
#include "audio/MusicPosition.h"
#include "demo/Demo.h"
#include "demo/Timeline.h"
#include "gl/GlEntryTable.h"

namespace {

using Clock = std::chrono::steady_clock;

double barsAt(std::int64_t position) {
    return barsOfSeconds(secondsOfPosition(position));
}

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);  // read line by line by whoever drives the program
}

// The overlay shows at most this much of a failed build's log.
std::vector<std::string> shortLog(const std::string& log) {
    constexpr std::size_t kLines = 4, kWidth = 76;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < log.size() && lines.size() < kLines) {
        std::size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(start, end - start);
        if (line.size() > kWidth) line = line.substr(0, kWidth - 3) + "...";
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

class DevSession {
public:
    DevSession(Demo& demo, DemoWindow& window, MusicPlayer& music)
        : demo_(demo),
          window_(window),
          music_(music),
          reloader_(demo.assets()),
          watcher_(AssetReloader::paths()) {
        overlay_.create();
    }

    int run(double fromSeconds) {
        seekTo(barsOfSeconds(fromSeconds));
        bool running = window_.pump();
        while (running) {
            reloadChanged();
            keepInLoop();
            const std::int64_t position = music_.position();
            if (paused_) holdFrame(position);
            const bool more = demo_.frame(position);
            if (showOverlay_) overlay_.draw(overlayLines(position), demo_.width(), demo_.height());
            if (!more && !paused_) window_.endRequested = 1;
            countFrame();
            running = window_.pump();
            if (running) handleKeys();
        }
        overlay_.release();
        return 0;
    }

private:
    // The first position at or after the bar, so that it lands on the bar, not just before it
    // (which would count as the scene before).
    void seekTo(double bars) {
        std::int64_t target = positionOfSeconds(secondsOfBars(bars));
        if (secondsOfPosition(target) < secondsOfBars(bars)) ++target;
        music_.seek(secondsOfPosition(target));
        const std::int64_t position = music_.position();
        report(position);
        prepare(position);
    }

    // What the frame before hands on (the clear colour) made as a continuous run makes it, and
    // kept for the frames drawn while paused.
    void prepare(std::int64_t position) {
        demo_.prepareLoneFrame(position, fps_ > 0.0 ? fps_ : 60.0);
        gl.glGetFloatv(GL_COLOR_CLEAR_VALUE, heldClear_);
        heldPosition_ = position;
    }

    // A paused frame is drawn as a continuous run draws it, every time: the frame before it is
    // drawn once, and what it hands on is given again to each repeat (half the cost).
    void holdFrame(std::int64_t position) {
        if (position != heldPosition_) {
            prepare(position);
            return;
        }
        gl.glClearColor(heldClear_[0], heldClear_[1], heldClear_[2], heldClear_[3]);
    }

    void report(std::int64_t position) { say(positionLine(barsAt(position), paused_, transport_)); }

    // Back to the loop's start once the position has reached its end; also when it got there
    // between two frames, before a key acts on it.
    void keepInLoop() {
        double to = 0.0;
        if (transport_.wraps(barsAt(music_.position()), to)) seekTo(to);
    }

    // The frame's presses in the order they came, each as often as it counts, each from where
    // the one before it went.
    void handleKeys() {
        for (const KeyEvent& press : window_.keys.pressesThisFrame())
            for (int i = 0; i < press.count; ++i) handleKey(press);
    }

    void handleKey(const KeyEvent& press) {
        keepInLoop();
        const double bars = barsAt(music_.position());
        Transport::Seek seek;
        if (Transport::seekFor(press, seek)) {
            seekTo(Transport::target(seek, bars));
            return;
        }
        switch (press.key) {
            case Key::Space: {
                paused_ = !paused_;
                if (paused_)
                    music_.pause();
                else
                    music_.resume();
                double to = 0.0;
                if (transport_.wraps(barsAt(music_.position()), to))
                    seekTo(to);
                else
                    report(music_.position());
                break;
            }
            case Key::L:
                transport_.toggleSceneLoop(bars);
                say(transport_.loopLine());
                break;
            case Key::OpenBracket:
                transport_.setLoopIn(bars);
                say(transport_.loopLine());
                break;
            case Key::CloseBracket:
                transport_.setLoopOut(bars);
                say(transport_.loopLine());
                break;
            case Key::Tab:
                showOverlay_ = !showOverlay_;
                say(showOverlay_ ? "overlay on" : "overlay off");
                break;
            default: break;
        }
    }

    void reloadChanged() {
        for (const std::string& path : watcher_.changed()) {
            const AssetReloader::Result result = reloader_.reload(path);
            say(result.line);
            if (!result.log.empty()) {
                std::printf("%s", result.log.c_str());
                std::fflush(stdout);
            }
            lastReload_ = result.line;
            lastReloadFailed_ = !result.ok;
            lastLog_ = shortLog(result.log);
        }
    }

    // Frame time (from one frame's end to the next's, presenting included) and rate: the mean
    // over the frames of the last second.
    void countFrame() {
        const Clock::time_point now = Clock::now();
        if (lastFrameEnd_ != Clock::time_point{})
            frames_.push_back(
                {now, std::chrono::duration<double, std::milli>(now - lastFrameEnd_).count()});
        lastFrameEnd_ = now;
        if (frames_.empty()) return;
        while (now - frames_.front().end > std::chrono::seconds(1)) frames_.pop_front();
        double sum = 0.0;
        for (const FrameRecord& f : frames_) sum += f.ms;
        frameMs_ = sum / static_cast<double>(frames_.size());
        fps_ = static_cast<double>(frames_.size());
    }

    std::vector<DevOverlay::Line> overlayLines(std::int64_t position) const {
        const double seconds = secondsOfPosition(position);
        const double bars = barsOfSeconds(seconds);
        const double whole = std::floor(bars);
        const int beat = static_cast<int>(std::floor((bars - whole) * kBeatsPerBar)) + 1;
        const TimelineScene* scene = demo_.clockAt(position).scene;
        char text[160];
        std::vector<DevOverlay::Line> lines;
        std::snprintf(text, sizeof text, "%d:%d  %.3f s", static_cast<int>(whole), beat, seconds);
        lines.push_back({text});
        if (scene)
            std::snprintf(text, sizeof text, "scene %d %s", sceneNumber(*scene), scene->name);
        else
            std::snprintf(text, sizeof text, "no scene");
        lines.push_back({text});
        std::string state = paused_ ? "paused" : "playing";
        if (transport_.looping() || transport_.loopLine() != "loop off")
            state += "  " + transport_.loopLine();
        lines.push_back({state});
        std::snprintf(text, sizeof text, "%.1f ms  %.0f fps", frameMs_, fps_);
        lines.push_back({text});
        if (!lastReload_.empty()) lines.push_back({lastReload_, lastReloadFailed_});
        for (const std::string& l : lastLog_) lines.push_back({l, true});
        return lines;
    }

    struct FrameRecord {
        Clock::time_point end;
        double ms;
    };

    Demo& demo_;
    DemoWindow& window_;
    MusicPlayer& music_;
    AssetReloader reloader_;
    AssetWatcher watcher_;
    DevOverlay overlay_;
    Transport transport_;
    bool paused_ = false;
    std::int64_t heldPosition_ = -1;
    float heldClear_[4] = {};
    bool showOverlay_ = true;
    std::deque<FrameRecord> frames_;
    Clock::time_point lastFrameEnd_{};
    double frameMs_ = 0.0;
    double fps_ = 0.0;
    std::string lastReload_;
    bool lastReloadFailed_ = false;
    std::vector<std::string> lastLog_;
};

}  // namespace

int runDevMode(LaunchSettings& settings, DemoWindow& window, MusicPlayer& music,
               double fromSeconds) {
    if (!openDemoWindow(settings, window)) return 1;
    Demo demo;
    demo.load(settings.width, settings.height, music);
    reportUnusableAssets(demo, window, music);
    int code = 0;
    {
        DevSession session(demo, window, music);
        code = session.run(fromSeconds);
    }
    demo.release();
    window.shutdown();
    return code;
}
