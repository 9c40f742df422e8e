// velmora-music-check SOUNDTRACK: checks DirectShowMusicPlayer on a real filter graph (run under
// Wine by scripts/ci/wine-smoke.sh with a short MP3): position 0 after open, seek clamping and
// truncation, stopped until play, running after a seek while playing, going on past the end in
// real time, pause and resume, and the wall-clock stand-in when the file cannot be played. One
// line per check; exit code 1 if any fails.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "audio/MusicPosition.h"
#include "audio/win32/DirectShowMusicPlayer.h"

namespace {

int failures = 0;

void expect(bool ok, const char* what, long long value) {
    std::printf("%s: %s (%lld)\n", ok ? "ok" : "FAILED", what, value);
    failures += ok ? 0 : 1;
}

// Reads the position every 10 ms, as a frame loop would, for `milliseconds`.
long long elapsedAfter(DirectShowMusicPlayer& player, DWORD milliseconds) {
    const long long before = player.position();
    for (DWORD waited = 0; waited < milliseconds; waited += 10) {
        Sleep(10);
        player.position();
    }
    return player.position() - before;
}

// 100 ns units since `start`: the time that really passed (a loaded machine oversleeps).
long long unitsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start)
               .count() *
           10;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: velmora-music-check SOUNDTRACK.mp3\n");
        return 2;
    }
    DirectShowMusicPlayer player(argv[1]);
    player.open();
    const double d = player.durationSeconds();
    expect(player.audible(), "the graph plays the file", 0);
    expect(d > 1.0, "duration in 100 ns units", positionOfSeconds(d));
    expect(player.position() == 0, "position 0 after open", player.position());

    player.seek(-3.0);
    expect(player.position() == 0, "seek(-3) goes to 0", player.position());
    player.seek(d + 10.0);
    expect(player.position() == positionOfSeconds(d), "seek past the end stops at it",
           player.position());
    player.seek(1.23456789);
    expect(player.position() == 12345679, "seek(1.23456789) rounds to 12345679", player.position());
    long long moved = elapsedAfter(player, 300);
    expect(moved == 0, "stopped until play: 100 ns units in 300 ms", moved);

    player.play();
    moved = elapsedAfter(player, 500);
    expect(moved > 2000000, "running after play: 100 ns units in 500 ms", moved);
    player.seek(0.25);
    expect(player.position() < 12345678, "a seek while playing moves back", player.position());
    moved = elapsedAfter(player, 500);
    expect(moved > 2000000, "still running after the seek: 100 ns units in 500 ms", moved);
    // Past the end the graph's position stops at the duration; the player's goes on in real time
    // (and never ahead of it), so a demo longer than its music still ends.
    // The player's real time runs from inside seek (the graph restarts and the volume ramps up
    // after it): at most the time since the call, at least about the time since it returned.
    const auto seekCalled = std::chrono::steady_clock::now();
    player.seek(d - 0.25);
    const auto seekReturned = std::chrono::steady_clock::now();
    moved = elapsedAfter(player, 1000);
    expect(moved > unitsSince(seekReturned) - 2000000 && moved <= unitsSince(seekCalled) + 500000,
           "past the end: 100 ns units in about 1000 ms from 0.25 s before it, at most the time "
           "that passed",
           moved);
    expect(player.position() > positionOfSeconds(d + 0.6),
           "past the end: the position beyond the duration", player.position());

    // Developer mode's transport: pause holds, a seek while paused moves the held position, play
    // goes on from it.
    player.pause();
    moved = elapsedAfter(player, 300);
    expect(moved == 0, "paused: 100 ns units in 300 ms", moved);
    player.seek(2.0);
    expect(player.position() == 20000000, "a seek while paused goes to 2 s", player.position());
    moved = elapsedAfter(player, 300);
    expect(moved == 0, "still paused after the seek: 100 ns units in 300 ms", moved);
    player.resume();
    moved = elapsedAfter(player, 300);
    expect(moved > 1000000, "running after resume: 100 ns units in 300 ms", moved);

    DirectShowMusicPlayer missing("assets/no-such-soundtrack.mp3");
    missing.open();  // prints its one line
    expect(!missing.audible(), "a missing file falls back to the wall clock", 0);
    expect(missing.position() == 0, "position 0 before play", missing.position());
    missing.play();
    moved = elapsedAfter(missing, 300);
    expect(moved > 2000000, "the wall clock runs after play: 100 ns units in 300 ms", moved);
    missing.seek(5.0);
    expect(missing.position() >= 50000000, "seek moves the wall clock", missing.position());
    missing.pause();
    moved = elapsedAfter(missing, 200);
    expect(moved == 0, "pause stops the wall clock: 100 ns units in 200 ms", moved);

    std::fflush(stdout);
    return failures ? 1 : 0;
}
