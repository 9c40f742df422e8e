#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ClickTrack.h"
#include "audio/MusicPosition.h"
#include "audio/linux/SdlMusicPlayer.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string tempPath(const char* name) {
    return testing::TempDir() + "velmora_" + std::to_string(getpid()) + "_" + name;
}

void sleepSeconds(double s) {
    std::this_thread::sleep_for(std::chrono::duration<double>(s));
}

// Polls until the position reaches `target` or `timeout` seconds pass; returns the last value.
std::int64_t waitForPosition(SdlMusicPlayer& player, std::int64_t target, double timeout) {
    const auto end = Clock::now() + std::chrono::duration<double>(timeout);
    std::int64_t p = player.position();
    while (p < target && Clock::now() < end) {
        sleepSeconds(0.005);
        p = player.position();
    }
    return p;
}

class ClickTrackFiles : public testing::Test {
protected:
    static void SetUpTestSuite() {
        stereo = tempPath("stereo.mp3");
        mono = tempPath("mono.mp3");
        ASSERT_TRUE(writeClickTrack(stereo, 3.0, 44100, 2));
        ASSERT_TRUE(writeClickTrack(mono, 2.0, 48000, 1));
    }
    static void TearDownTestSuite() {
        std::remove(stereo.c_str());
        std::remove(mono.c_str());
    }
    static std::string stereo, mono;
};
std::string ClickTrackFiles::stereo, ClickTrackFiles::mono;

// Every case runs on SDL's dummy device and on a driver that cannot open, where the player falls
// back to the wall clock with the decoded duration.
class PlayerOnDriver : public ClickTrackFiles, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", GetParam(), 1); }
    bool expectAudible() const { return std::string(GetParam()) == "dummy"; }
};

TEST_P(PlayerOnDriver, DecodesGaplessAndStartsStoppedAtZero) {
    SdlMusicPlayer player(stereo);
    testing::internal::CaptureStdout();
    player.open();
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(player.audible(), expectAudible()) << said;
    EXPECT_EQ(said.empty(), expectAudible()) << said;

    // Gapless: exactly the 132,300 frames that were encoded, no encoder delay or padding.
    EXPECT_DOUBLE_EQ(player.durationSeconds(), 3.0);
    EXPECT_EQ(player.position(), 0);
    sleepSeconds(0.05);
    EXPECT_EQ(player.position(), 0);
}

TEST_P(PlayerOnDriver, SeekClampsRoundsAndLeavesAStoppedPlayerStopped) {
    SdlMusicPlayer player(stereo);
    player.open();
    EXPECT_EQ(player.seek(-3.0), 0);
    EXPECT_EQ(player.position(), 0);
    player.seek(13.0);
    EXPECT_EQ(player.position(), 30000000);
    player.seek(NAN);
    EXPECT_EQ(player.position(), 0);
    player.seek(1.23456789);
    EXPECT_EQ(player.position(), 12345679);
    sleepSeconds(0.05);
    EXPECT_EQ(player.position(), 12345679);
}

TEST_P(PlayerOnDriver, PlaysFromASeekPastTheEndOnTheWallClockAndSeeksBackWhilePlaying) {
    SdlMusicPlayer player(stereo);
    player.open();
    player.seek(2.7);
    player.play();
    EXPECT_GE(player.position(), 27000000);
    // Past the end of the soundtrack the position goes on at real speed, so a demo longer than
    // its music still ends.
    EXPECT_GE(waitForPosition(player, 30000000, 5.0), 30000000);
    const auto t0 = Clock::now();
    const std::int64_t p0 = player.position();
    sleepSeconds(0.4);
    const std::int64_t p1 = player.position();
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    EXPECT_NEAR(secondsOfPosition(p1 - p0), wall, 0.05);

    player.seek(0.5);
    const std::int64_t after = player.position();
    EXPECT_GE(after, 5000000);
    EXPECT_LT(after, 6000000);
    EXPECT_GT(waitForPosition(player, after + 1000000, 5.0), after);
}

TEST_P(PlayerOnDriver, PauseHoldsThePositionSeeksMoveItAndPlayGoesOnFromIt) {
    SdlMusicPlayer player(stereo);
    player.open();
    player.play();
    waitForPosition(player, 3000000, 5.0);
    player.pause();
    const std::int64_t held = player.position();
    EXPECT_GE(held, 3000000);
    sleepSeconds(0.15);
    EXPECT_EQ(player.position(), held);
    player.pause();  // twice is once
    EXPECT_EQ(player.position(), held);

    player.seek(1.25);
    EXPECT_EQ(player.position(), 12500000);
    sleepSeconds(0.1);
    EXPECT_EQ(player.position(), 12500000);

    player.resume();
    const std::int64_t moved = waitForPosition(player, 13500000, 5.0);
    EXPECT_GE(moved, 13500000);
    EXPECT_LT(moved, 20000000);
}

INSTANTIATE_TEST_SUITE_P(Drivers, PlayerOnDriver, testing::Values("dummy", "no-such-driver"));

TEST_F(ClickTrackFiles, PositionRisesMonotonicallyOnTheDummyDevice) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlMusicPlayer player(mono);
    player.open();
    ASSERT_TRUE(player.audible());
    EXPECT_DOUBLE_EQ(player.durationSeconds(), 2.0);
    player.play();
    std::int64_t last = player.position();
    const std::int64_t first = last;
    int steps = 0;
    const auto end = Clock::now() + std::chrono::milliseconds(500);
    while (Clock::now() < end) {
        const std::int64_t p = player.position();
        ASSERT_GE(p, last) << "the position went back";
        steps += p > last;
        last = p;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    EXPECT_GT(last, first);
    EXPECT_LE(last, 20000000);
    // Interpolated between the 21 ms buffers, not stepping once per buffer.
    EXPECT_GT(steps, 100);
    EXPECT_GT(player.framesHanded(), 0);
}

// ALSA's null device takes samples as fast as they come. The position must still keep to real
// time: the demo would otherwise play through in a second.
TEST_F(ClickTrackFiles, ANullDeviceThatDoesNotPaceIsHeldToRealTime) {
    const std::string config = tempPath("asound.conf");
    std::ofstream(config) << "pcm.!default { type null }\nctl.!default { type hw card 0 }\n";
    setenv("ALSA_CONFIG_PATH", config.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    SdlMusicPlayer player(stereo);
    testing::internal::CaptureStdout();
    player.open();
    if (!player.audible()) {
        const std::string said = testing::internal::GetCapturedStdout();
        std::remove(config.c_str());
        GTEST_SKIP() << "SDL cannot open ALSA's null device: " << said;
    }
    player.play();
    const auto t0 = Clock::now();
    double lead = -1.0;  // the most the position ran ahead of real time, in seconds
    double last = 0.0;   // the last one
    while (Clock::now() - t0 < std::chrono::milliseconds(800)) {
        const std::int64_t p = player.position();
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        last = secondsOfPosition(p) - wall;
        lead = std::max(lead, last);
        sleepSeconds(0.01);
    }
    const std::string said = testing::internal::GetCapturedStdout();
    std::remove(config.c_str());
    EXPECT_LE(lead, 0.05 + 0.002) << "ahead of real time";
    EXPECT_GE(last, -0.1) << "the position keeps up with real time";
    EXPECT_NE(said.find("faster than"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
}

TEST(SdlMusicPlayerFallback, MissingFileRunsFromTheWallClockAtRealRate) {
    SdlMusicPlayer player(tempPath("no_such_soundtrack.mp3"));
    testing::internal::CaptureStdout();
    player.open();
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("no_such_soundtrack.mp3"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
    EXPECT_FALSE(player.audible());
    EXPECT_EQ(player.position(), 0);

    player.play();
    const auto t0 = Clock::now();
    const std::int64_t p0 = player.position();
    sleepSeconds(0.7);
    const std::int64_t p1 = player.position();
    const auto t1 = Clock::now();
    const double wall = std::chrono::duration<double>(t1 - t0).count();
    EXPECT_NEAR(secondsOfPosition(p1 - p0) / wall, 1.0, 0.01);

    // No duration is known, so seeking is bounded only below; the clock runs on from there.
    player.seek(500.0);
    const std::int64_t jumped = player.position();
    EXPECT_GE(jumped, 5000000000);
    EXPECT_GT(waitForPosition(player, jumped + 100000, 2.0), jumped);
}

TEST(SdlMusicPlayerFallback, UndecodableFileSaysSoOnceAndStillKeepsTime) {
    const std::string path = tempPath("not_an.mp3");
    std::ofstream(path) << "This is a text file, not an MP3 stream.\n";
    SdlMusicPlayer player(path);
    testing::internal::CaptureStdout();
    player.open();
    const std::string said = testing::internal::GetCapturedStdout();
    std::remove(path.c_str());
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
    EXPECT_FALSE(player.audible());
    EXPECT_EQ(player.durationSeconds(), 0.0);
    player.seek(1.23456789);
    EXPECT_EQ(player.position(), 12345679);
    player.play();
    EXPECT_GT(waitForPosition(player, 12345679 + 100000, 2.0), 12345679);
}

}  // namespace

// SDL's "disk" driver writes what the player hands the device to a file: jumps, a pause and a
// resume must not step the waveform (each cross-fades over 4 ms), and the pause must be silent.
TEST(SdlMusicPlayerFades, JumpsPausesAndResumesDoNotStepTheOutput) {
    const std::string tone = tempPath("tone.mp3");
    const std::string output = tempPath("device.raw");
    ASSERT_TRUE(writeToneTrack(tone, 4.0, 44100, 2, 220.0));
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    {
        SdlMusicPlayer player(tone);
        player.open();
        ASSERT_TRUE(player.audible());
        player.play();
        sleepSeconds(0.1);
        // Offsets of odd fractions of the 4.5 ms period: without a fade, some jump steps by
        // about the full amplitude.
        for (double to : {0.37, 1.1013, 0.2107, 2.0529, 0.9031}) {
            player.seek(to);
            sleepSeconds(0.06);
        }
        player.pause();
        sleepSeconds(0.15);
        player.resume();
        sleepSeconds(0.1);
    }
    unsetenv("SDL_DISKAUDIOFILE");
    std::ifstream in(output, std::ios::binary);
    std::vector<float> samples;
    float sample;
    while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) samples.push_back(sample);
    std::remove(output.c_str());
    std::remove(tone.c_str());
    ASSERT_GT(samples.size(), 2u * 44100 / 2) << "the disk driver wrote too little";

    // A 220 Hz sine at 0.5 moves at most 0.016 a sample; the cross-fades add about 0.006.
    float largestStep = 0.0f;
    size_t silentRun = 0, longestSilence = 0;
    for (size_t i = 2; i < samples.size(); i += 2) {
        largestStep = std::max(largestStep, std::fabs(samples[i] - samples[i - 2]));
        silentRun = samples[i] == 0.0f ? silentRun + 1 : 0;
        longestSilence = std::max(longestSilence, silentRun);
    }
    EXPECT_LT(largestStep, 0.05f);
    EXPECT_GT(longestSilence, 44100u / 10) << "the pause did not silence the output";
}
