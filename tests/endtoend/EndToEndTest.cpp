// The demo as the headless runner plays it, to its own end: what the frames after the last scene
// show, and the whole timeline rendered without a fault.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "demo/Demo.h"
#include "demo/SceneClock.h"
#include "gl/ImageDecoder.h"
#include "support/ProgramRun.h"

namespace {

ProgramRun runHeadless(const std::string& arguments) {
    return runProgram(VELMORA_HEADLESS, arguments);
}

std::string framesLine(long frames) {
    return "velmora-headless: " + std::to_string(frames) + " frames rendered";
}

// Frame n of the runner's clock is music position n / fps.
SceneClock clockOfFrame(long frame, double fps) {
    return computeSceneClock(framePosition(frame, fps), 32.0f, 18.0f);
}

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Each scene sets the clear colour of the frame after it, so a frame drawn on its own must first
// be given what the frame before it would have left: rendered alone (--times, or the first frame
// of a range) it must equal the same frame in the middle of a run. At a scene cut (the cave's first
// frame is cleared with the fly-by's black), inside the rockets' computed sky, and after the last
// scene (the temple's night, set by a frame long before).
TEST(EndToEnd, AFrameRenderedAloneEqualsTheSameFrameOfAContinuousRun) {
    const std::string dir = testing::TempDir() + "velmora_alone_" + std::to_string(getpid());
    const double fps = 30.0;
    for (const double bars : {56.0, 80.25, 136.9}) {
        const long frame = static_cast<long>(std::ceil(secondsOfBars(bars) * fps));
        const long lead = bars > kLastSceneEndBar ? 40 : 3;  // the run reaches back into a scene
        char from[32], at[32];
        std::snprintf(from, sizeof from, "%.9f", (frame - lead) / fps);
        std::snprintf(at, sizeof at, "%.9f", frame / fps);
        const std::string run = dir + "/run", alone = dir + "/alone", range = dir + "/range";
        ASSERT_EQ(runHeadless("--size 64x36 --fps 30 --from " + std::string(from) + " --frames " +
                              std::to_string(lead + 1) + " --png " + run)
                      .exitCode,
                  0);
        ASSERT_EQ(
            runHeadless("--size 64x36 --fps 30 --times " + std::string(at) + " --png " + alone)
                .exitCode,
            0);
        ASSERT_EQ(runHeadless("--size 64x36 --fps 30 --from " + std::string(at) +
                              " --frames 1 --png " + range)
                      .exitCode,
                  0);
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%05ld.png", frame);
        const std::vector<char> continuous = fileBytes(run + name);
        ASSERT_FALSE(continuous.empty()) << bars;
        EXPECT_EQ(fileBytes(alone + "/frame_00000.png"), continuous) << "--times at bar " << bars;
        EXPECT_EQ(fileBytes(range + name), continuous) << "--from at bar " << bars;
        std::filesystem::remove_all(dir);
    }
}

// From bar 135, in the rise out of the temple, to the end: scene frames show the temple; every
// frame from bar 136 on is the temple's night colour, (0, 1, 10), and nothing else; the run ends by
// itself, with exit code 0, on the first frame past bar 142.
TEST(EndToEnd, AfterTheLastSceneOnlyTheTempleNightUntilBar142) {
    const std::string dir = testing::TempDir() + "velmora_end_" + std::to_string(getpid());
    const double fps = 30.0;
    const ProgramRun run = runHeadless("--size 32x18 --fps 30 --from 135b --png " + dir);
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const long first = 5461;  // 135 bars = 182.0225 s, frame 5460.67
    long last = first;
    while (!(clockOfFrame(last, fps).bars > kEndBar)) ++last;
    EXPECT_EQ(last, 5744);
    EXPECT_NE(run.output.find(framesLine(last - first + 1)), std::string::npos) << run.output;

    long sceneFrames = 0, emptyFrames = 0;
    for (long frame = first; frame <= last; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%05ld.png", frame);
        DecodedImage image;
        ASSERT_TRUE(decodeImage(dir + name, image)) << name;
        long night = 0;
        for (size_t i = 0; i < image.pixels.size(); i += 4)
            if (image.pixels[i] == 0 && image.pixels[i + 1] == 1 && image.pixels[i + 2] == 10)
                ++night;
        const long pixels = static_cast<long>(image.pixels.size() / 4);
        if (clockOfFrame(frame, fps).scene == &sceneNamed("finale")) {
            if (night < pixels) ++sceneFrames;
        } else {
            EXPECT_EQ(night, pixels) << name;
            ++emptyFrames;
        }
    }
    EXPECT_GT(sceneFrames, 10);               // the inside of the dome, the oculus passing by
    EXPECT_EQ(emptyFrames, last - 5502 + 1);  // bar 136 = 183.3708 s, frame 5501.12
    std::filesystem::remove_all(dir);
}

// Every frame of the demo, first bar to last, at a small size and 10 frames a second: frames 0 to
// 1915 (bar 142 = 191.46 s).
TEST(EndToEnd, WholeDemoRunsToItsEnd) {
    const ProgramRun run = runHeadless("--size 64x36 --fps 10");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(framesLine(1916)), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("ERROR"), std::string::npos) << run.output;
}

}  // namespace
