#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "audio/MusicPosition.h"
#include "audio/PlaybackClock.h"

namespace {

constexpr std::int64_t kSecond = kPositionUnitsPerSecond;

void sleepSeconds(double s) {
    std::this_thread::sleep_for(std::chrono::duration<double>(s));
}

TEST(PlaybackClock, PassesAPacedDeviceThroughAndNeverGoesBack) {
    PlaybackClock clock;
    EXPECT_EQ(clock.position(5 * kSecond, false), 5 * kSecond) << "stopped: the device as it is";
    clock.start(kSecond);
    EXPECT_EQ(clock.position(kSecond + 100000, false), kSecond + 100000);  // 10 ms ahead: fine
    EXPECT_EQ(clock.position(kSecond + 50000, false), kSecond + 100000) << "went back";
    sleepSeconds(0.2);
    EXPECT_EQ(clock.position(kSecond + 2000000, false), kSecond + 2000000);
    EXPECT_FALSE(clock.followsWallClock());
}

TEST(PlaybackClock, ADeviceSomewhatAheadIsHeldBackWithoutAWord) {
    PlaybackClock clock;
    clock.start(0);
    testing::internal::CaptureStdout();
    // Ten buffers handed over at once when playback starts.
    const std::int64_t p = clock.position(2400000, false);
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_GE(p, PlaybackClock::kTolerance);
    EXPECT_LT(p, 2400000) << "held back";
    EXPECT_EQ(said, "");
    EXPECT_FALSE(clock.followsWallClock());
    sleepSeconds(0.2);
    EXPECT_EQ(clock.position(2000000, false), 2000000) << "trusted again once in step";
}

TEST(PlaybackClock, ADeviceAheadOfRealTimeIsNamedOnceAndTheWallClockTakesOver) {
    PlaybackClock clock;
    clock.start(0);
    testing::internal::CaptureStdout();
    // ALSA's null device: the whole soundtrack taken in a moment.
    const std::int64_t first = clock.position(150 * kSecond, false);
    sleepSeconds(0.3);
    const std::int64_t later = clock.position(190 * kSecond, true);
    clock.start(10 * kSecond);  // a seek: still the same device
    const std::int64_t afterSeek = clock.position(190 * kSecond, true);
    const std::string said = testing::internal::GetCapturedStdout();

    EXPECT_LE(first, PlaybackClock::kTolerance);
    EXPECT_GE(later, 3000000);
    EXPECT_LE(later, 3000000 + 20000000);  // 0.3 s of wall clock (and then some), not 190 s
    EXPECT_GE(afterSeek, 10 * kSecond);
    EXPECT_LE(afterSeek, 11 * kSecond) << "the wall clock, not the device";
    EXPECT_TRUE(clock.followsWallClock());
    EXPECT_NE(said.find("faster than"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;

    clock.reset();
    clock.start(0);
    EXPECT_EQ(clock.position(100000, false), 100000) << "a new device is trusted again";
}

TEST(PlaybackClock, GoesOnWithTheWallClockPastTheEndOfTheSoundtrack) {
    PlaybackClock clock;
    const std::int64_t end = 3 * kSecond;
    clock.start(end - 200000);
    EXPECT_EQ(clock.position(end - 100000, false), end - 100000);
    EXPECT_EQ(clock.position(end, true), end);
    sleepSeconds(0.25);
    // The device stays where it ended (or reports less); the position does not.
    const std::int64_t past = clock.position(end, true);
    EXPECT_GE(past, end + 2500000);
    EXPECT_LE(past, end + 2500000 + 20000000);
    EXPECT_GE(clock.position(0, true), past);
    EXPECT_FALSE(clock.followsWallClock());

    // A seek back into the soundtrack follows the device again.
    clock.start(kSecond);
    EXPECT_EQ(clock.position(kSecond + 10000, false), kSecond + 10000);

    // A device that ends short of the length it announced goes on from where it stopped.
    clock.start(end - 200000);
    EXPECT_EQ(clock.position(end - 150000, true), end - 150000);
    sleepSeconds(0.1);
    EXPECT_GE(clock.position(end - 150000, true), end - 150000 + 1000000);

    // A device that reports its end early (its last buffers taken, not yet heard) does not move
    // the position ahead of real time at the handover.
    clock.start(end - 2000000);
    EXPECT_LE(clock.position(end, true), end - 2000000 + PlaybackClock::kTolerance + 1000000);
}

}  // namespace
