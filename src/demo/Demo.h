#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "demo/DemoAssets.h"
#include "demo/SceneClock.h"

class MusicPlayer;

// The whole show behind a small surface that every front end drives: load once, then one call
// per frame with the music position, then release. The demo has no loop and no window: the front
// end reads the position, asks for the frame, presents it and handles input.
//
//     demo.load(width, height, music);
//     for (bool more = window.pump(); more;)
//         more = demo.frame(music.position()) && window.pump();   // (the last frame still shows)
//     demo.release();
class Demo {
public:
    Demo() = default;
    ~Demo();
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // With the window's GL context current: prints the driver identification, sets the first
    // clear colour, builds every asset for a picture of width x height (printing what it builds),
    // starts the music from 0 and sets the GL state every frame starts from.
    void load(int width, int height, MusicPlayer& music);
    // Draws the frame for `position` (100 ns units) into the default framebuffer. False once the
    // demo has ended: the first frame past bar 142, which is still to be presented.
    bool frame(std::int64_t position);
    // Draws, unseen, the frame a continuous run at `fps` draws before the one at `position` (after
    // the last scene: its last frame), so that what that frame hands on to the next (each scene
    // sets the clear colour of the frame after it) is what a viewer of the whole run saw. Call it
    // before a frame drawn alone or after a jump.
    void prepareLoneFrame(std::int64_t position, double fps);
    // Deletes every GL object, in the order the demo has always torn down in; the context must
    // still be current.
    void release();

    // Whether a frame at `position` ends the demo: true from the first frame past bar 142 on, the
    // one frame() returns false for. Needs no loaded demo.
    static bool isLastFrame(std::int64_t position);
    // The clock a frame at `position` is drawn from.
    SceneClock clockAt(std::int64_t position) const;
    DemoAssets& assets() { return assets_; }
    // The demo's files the load phase could not use (missing or damaged), in the manifest's order.
    const std::vector<std::string>& unusableAssets() const { return unusableAssets_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    DemoAssets assets_;
    std::vector<std::string> unusableAssets_;
    int width_ = 0;
    int height_ = 0;
    bool loaded_ = false;
};

// The position of frame `frame` of a run at `fps` frames a second, in 100 ns units (rounded).
std::int64_t framePosition(std::int64_t frame, double fps);
