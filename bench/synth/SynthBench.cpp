// Prints what the soundtrack costs to render, as multiples of a baseline measured in the same
// run: one band-limited saw oscillator running for the same length of audio.
#include <chrono>
#include <cstdio>
#include <vector>

#include "Limiter.h"
#include "LoudnessMeter.h"
#include "Oscillator.h"
#include "Soundtrack.h"
#include "Timeline.h"

namespace {

template <typename F>
double bestOfThree(F&& work) {
    double best = 1e30;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    // Bars 72-80: the big drop, every part and both effects at work.
    constexpr double kFrom = 72.0, kTo = 80.0;
    const size_t frames =
        static_cast<size_t>(timeline::sampleAtBar(kTo) - timeline::sampleAtBar(kFrom));
    const double audioSeconds = static_cast<double>(frames) / timeline::kSampleRate;

    volatile float sink = 0.0f;
    const double baseline = bestOfThree([&] {
        Oscillator saw(Oscillator::Shape::Saw);
        std::vector<float> out(frames);
        for (float& v : out) v = saw.next(220.0);
        sink = out[frames / 2];
    });

    const Soundtrack soundtrack(composeSoundtrack());
    StereoBuffer mix;
    const double render = bestOfThree([&] { mix = soundtrack.renderBars(kFrom, kTo); });
    const double peaks = bestOfThree([&] { sink = Limiter::framePeaks(mix)[frames / 2]; });
    const double limit = bestOfThree([&] {
        StereoBuffer copy = mix;
        Limiter(0.84, 0.0015, 0.08).process(copy);
    });
    const double loudness =
        bestOfThree([&] { sink = static_cast<float>(LoudnessMeter(mix).integrated()); });

    std::printf("bars %.0f-%.0f, %.2f s of audio; baseline: one saw oscillator %.1f ms\n", kFrom,
                kTo, audioSeconds, baseline * 1e3);
    std::printf("  %-34s %8.1f x baseline  (%.1f x real time)\n",
                "score through instruments and mix", render / baseline, audioSeconds / render);
    std::printf("  %-34s %8.1f x baseline\n", "4x true-peak estimate", peaks / baseline);
    std::printf("  %-34s %8.1f x baseline\n", "limiter with its check", limit / baseline);
    std::printf("  %-34s %8.1f x baseline\n", "loudness meter", loudness / baseline);
    return 0;
}
