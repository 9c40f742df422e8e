// audio_clock_bench [seconds]: plays a click track for 20 s (by default) on SDL's dummy audio
// driver (SDL_AUDIODRIVER, if set, wins) and reads the position as fast as a frame loop could.
// Prints the position's resolution (smallest step), backward steps and its drift against the
// samples handed to the device, with the steady clock as the baseline.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ClickTrack.h"
#include "audio/MusicPosition.h"
#include "audio/linux/SdlMusicPlayer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Steps {
    std::int64_t smallest = INT64_MAX, largest = 0, count = 0, backward = 0;
    void add(std::int64_t step) {
        if (step < 0) ++backward;
        if (step <= 0) return;
        ++count;
        smallest = std::min(smallest, step);
        largest = std::max(largest, step);
    }
};

double ms(std::int64_t units) {
    return units / 1e4;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    if (!(seconds > 0.0 && seconds < 3000.0)) {
        std::printf("usage: audio_clock_bench [seconds, default 20]\n");
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::string path = "/tmp/velmora_bench_" + std::to_string(getpid()) + ".mp3";
    if (!writeClickTrack(path, seconds + 2.0)) {
        std::printf("Cannot write %s\n", path.c_str());
        return 1;
    }
    SdlMusicPlayer player(path);
    player.open();
    std::remove(path.c_str());
    if (!player.audible()) return 1;
    const int rate = player.sampleRate();
    auto handedUnits = [&] { return player.framesHanded() * kPositionUnitsPerSecond / rate; };

    player.play();
    const Clock::time_point start = Clock::now();
    const std::int64_t startPosition = player.position();
    std::int64_t last = startPosition, lastHanded = handedUnits();
    std::int64_t lagMin = INT64_MAX, lagMax = INT64_MIN, lagSum = 0, reads = 0;
    // Mean lag over the first and the last tenth of the run: their difference is the drift.
    double headLag = 0.0, tailLag = 0.0;
    long headReads = 0, tailReads = 0;
    Steps position, handed;
    const Clock::time_point end =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (Clock::now() < end) {
        const std::int64_t p = player.position();
        const std::int64_t h = handedUnits();
        position.add(p - last);
        handed.add(h - lastHanded);
        const std::int64_t lag = p - h;  // -one buffer .. 0: the device plays what it was handed
        lagMin = std::min(lagMin, lag);
        lagMax = std::max(lagMax, lag);
        lagSum += lag;
        ++reads;
        const double at = std::chrono::duration<double>(Clock::now() - start).count();
        if (at < seconds * 0.1) headLag += lag, ++headReads;
        if (at > seconds * 0.9) tailLag += lag, ++tailReads;
        last = p;
        lastHanded = h;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double played = ms(last - startPosition) / 1000.0;
    const double handedSeconds = ms(lastHanded) / 1000.0;  // handed from position 0

    std::printf("%.1f s on SDL audio driver \"%s\", %d Hz, %ld position reads\n", wall,
                std::getenv("SDL_AUDIODRIVER"), rate, static_cast<long>(reads));
    std::printf("resolution (smallest step): %.4f ms; largest step %.3f ms; %ld steps\n",
                ms(position.smallest), ms(position.largest), static_cast<long>(position.count));
    std::printf("  baseline, samples handed to the device: smallest step %.3f ms (%.0fx coarser)\n",
                ms(handed.smallest), static_cast<double>(handed.smallest) / position.smallest);
    std::printf("backward steps: %ld\n", static_cast<long>(position.backward));
    std::printf("position - samples handed: %.3f .. %.3f ms, mean %.3f ms, at the end %.3f ms\n",
                ms(lagMin), ms(lagMax), ms(lagSum / reads), ms(last - lastHanded));
    std::printf("rates against the steady clock: position %.5f, samples handed %.5f\n",
                played / wall, handedSeconds / wall);
    const double drift =
        (tailLag / std::max(tailReads, 1L) - headLag / std::max(headReads, 1L)) / 1e4;
    std::printf(
        "drift against the samples (mean lag, last tenth - first tenth): %.3f ms over "
        "%.1f s (%.1f ppm)\n",
        drift, wall, drift / (wall * 0.8) * 1e3);
    return position.backward == 0 ? 0 : 1;
}
