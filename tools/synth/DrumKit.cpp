#include "DrumKit.h"

#include <algorithm>
#include <cmath>

#include "Noise.h"
#include "Saturation.h"
#include "SvFilter.h"
#include "Timeline.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kRate = timeline::kSampleRate;

std::vector<float> blank(double seconds) {
    return std::vector<float>(static_cast<size_t>(seconds * kRate), 0.0f);
}

// Every one-shot ends on a short linear fade so that it never stops on a step.
void fadeTail(std::vector<float>& s, double seconds = 0.005) {
    const size_t n = std::min(s.size(), static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < n; ++i) s[s.size() - 1 - i] *= static_cast<float>(i) / n;
}

// Sine body whose pitch falls from `startHz` to `endHz`; the falling pitch is what makes a kick
// or a tom sound struck rather than played.
std::vector<float> pitchedBody(double seconds, double startHz, double endHz, double pitchTau,
                               double ampTau) {
    std::vector<float> s = blank(seconds);
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        const double hz = endHz + (startHz - endHz) * std::exp(-t / pitchTau);
        s[i] = static_cast<float>(std::sin(kTwoPi * phase) * std::exp(-t / ampTau));
        phase += hz / kRate;
    }
    return s;
}

std::vector<float> kick() {
    // Fits inside one beat (0.337 s) so that consecutive kicks never overlap.
    std::vector<float> s = blank(0.31);
    double phase = 0.0;
    Noise noise(11);
    SvFilter click;
    click.setCutoff(3000.0, 0.2);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        // The sweep falls below 150 Hz within about 9 ms, so the body lands with the click
        // rather than a tom-like glide after it.
        const double hz = 48.0 + 170.0 * std::exp(-t / 0.008) + 500.0 * std::exp(-t / 0.0035);
        const double body =
            std::sin(kTwoPi * phase) * (t < 0.06 ? 1.0 : std::exp(-(t - 0.06) / 0.09));
        const double tick = click.bandpass(noise.next()) * std::exp(-t / 0.003) * 0.9;
        s[i] = saturate(static_cast<float>(body * 1.1 + tick), 1.2);
        phase += hz / kRate;
    }
    fadeTail(s, 0.02);
    return s;
}

std::vector<float> softKick() {
    std::vector<float> s = pitchedBody(0.31, 110.0, 45.0, 0.03, 0.11);
    SvFilter lowpass;
    lowpass.setCutoff(180.0, 0.1);
    for (float& v : s) v = lowpass.lowpass(v) * 1.3f;
    fadeTail(s, 0.02);
    return s;
}

std::vector<float> snare() {
    std::vector<float> s = pitchedBody(0.32, 240.0, 180.0, 0.02, 0.05);
    Noise noise(23);
    SvFilter high;
    high.setCutoff(1800.0, 0.0);
    SvFilter band;
    band.setCutoff(5500.0, 0.3);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        const float n = noise.next();
        const double rattle =
            (high.highpass(n) * 0.6 + band.bandpass(n) * 0.8) * std::exp(-t / 0.075);
        s[i] = static_cast<float>(s[i] * 0.8 + rattle * 0.9);
    }
    fadeTail(s, 0.03);
    return s;
}

std::vector<float> clap() {
    std::vector<float> s = blank(0.34);
    Noise noise(37);
    SvFilter band;
    band.setCutoff(1250.0, 0.45);
    SvFilter air;
    air.setCutoff(3000.0, 0.0);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        // Four hands a few milliseconds apart, then the room.
        double env = std::exp(-t / 0.09) * 0.6;
        for (int hand = 0; hand < 4; ++hand) {
            const double dt = t - hand * 0.0095;
            if (dt >= 0.0) env = std::max(env, std::exp(-dt / 0.0045));
        }
        const float n = noise.next();
        s[i] = static_cast<float>((band.bandpass(n) * 1.6 + air.highpass(n) * 0.35) * env);
    }
    fadeTail(s, 0.03);
    return s;
}

// Six detuned square waves at inharmonic ratios, the classic metallic cymbal source.
std::vector<float> metal(double seconds, double ampTau, double highpassHz, uint32_t seed) {
    static const double kRatios[6] = {1.0, 1.4471, 1.6170, 1.9265, 2.5028, 2.6637};
    std::vector<float> s = blank(seconds);
    double phases[6] = {0, 0.13, 0.37, 0.51, 0.77, 0.91};
    Noise noise(seed);
    SvFilter high1, high2;
    high1.setCutoff(highpassHz, 0.2);
    high2.setCutoff(highpassHz * 1.2, 0.1);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        double sum = 0.0;
        for (int k = 0; k < 6; ++k) {
            sum += phases[k] < 0.5 ? 1.0 : -1.0;
            phases[k] += 340.0 * kRatios[k] / kRate;
            phases[k] -= std::floor(phases[k]);
        }
        const double source = sum * 0.12 + noise.next() * 0.6;
        const double attack = std::min(1.0, t / 0.0008);
        s[i] = static_cast<float>(high2.highpass(high1.highpass(static_cast<float>(source))) *
                                  attack * std::exp(-t / ampTau));
    }
    fadeTail(s, 0.01);
    return s;
}

std::vector<float> shaker() {
    std::vector<float> s = blank(0.09);
    Noise noise(53);
    SvFilter high;
    high.setCutoff(6500.0, 0.1);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        const double env = std::min(1.0, t / 0.006) * std::exp(-t / 0.025);
        s[i] = static_cast<float>(high.highpass(noise.next()) * env);
    }
    fadeTail(s, 0.01);
    return s;
}

std::vector<float> rim() {
    std::vector<float> s = pitchedBody(0.06, 1900.0, 1700.0, 0.01, 0.008);
    Noise noise(61);
    SvFilter band;
    band.setCutoff(2600.0, 0.6);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        s[i] = static_cast<float>(s[i] * 0.7 +
                                  band.bandpass(noise.next()) * std::exp(-t / 0.01) * 0.8);
    }
    fadeTail(s, 0.01);
    return s;
}

std::vector<float> tom(double hz) {
    std::vector<float> s = pitchedBody(0.5, hz * 1.7, hz, 0.04, 0.16);
    Noise noise(71);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] += noise.next() * 0.08f * std::exp(-(i / kRate) / 0.01);
    fadeTail(s, 0.03);
    return s;
}

std::vector<float> crash() {
    std::vector<float> s = metal(2.8, 0.75, 3800.0, 83);
    SvFilter soften;
    soften.setCutoff(11000.0, 0.0);
    for (float& v : s) v = soften.lowpass(v) * 1.3f;
    fadeTail(s, 0.2);
    return s;
}

std::vector<float> impact() {
    std::vector<float> s = pitchedBody(1.6, 90.0, 38.0, 0.08, 0.45);
    Noise noise(97);
    SvFilter low;
    low.setCutoff(900.0, 0.2);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = i / kRate;
        s[i] = saturate(
            static_cast<float>(s[i] * 0.9 + low.lowpass(noise.next()) * std::exp(-t / 0.08) * 0.6),
            1.0);
    }
    fadeTail(s, 0.2);
    return s;
}

// Unit peak for every sound, so that the mix levels alone decide the balance.
std::vector<float> normalised(std::vector<float> s) {
    float peak = 0.0f;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    if (peak > 0.0f)
        for (float& v : s) v /= peak;
    return s;
}

}  // namespace

DrumKit::DrumKit() {
    auto set = [this](Drum d, std::vector<float> s) {
        sounds_[static_cast<size_t>(d)] = normalised(std::move(s));
    };
    set(Drum::Kick, kick());
    set(Drum::SoftKick, softKick());
    set(Drum::Snare, snare());
    set(Drum::Clap, clap());
    set(Drum::ClosedHat, metal(0.09, 0.018, 7500.0, 41));
    set(Drum::OpenHat, metal(0.3, 0.11, 7000.0, 43));
    set(Drum::Shaker, shaker());
    set(Drum::Rim, rim());
    set(Drum::TomLow, tom(82.0));
    set(Drum::TomMid, tom(116.0));
    set(Drum::TomHigh, tom(164.0));
    set(Drum::Crash, crash());
    set(Drum::Impact, impact());
}

float DrumKit::pan(Drum drum) {
    switch (drum) {
        case Drum::ClosedHat: return 0.25f;
        case Drum::OpenHat: return 0.2f;
        case Drum::Shaker: return -0.35f;
        case Drum::Rim: return -0.2f;
        case Drum::TomLow: return -0.3f;
        case Drum::TomMid: return 0.0f;
        case Drum::TomHigh: return 0.3f;
        case Drum::Crash: return -0.15f;
        default: return 0.0f;
    }
}

void DrumKit::render(const DrumHit& hit, int64_t firstSample, StereoBuffer& out) const {
    const std::vector<float>& s = sound(hit.drum);
    const int64_t start = timeline::sampleAtBar(hit.bar) - firstSample;
    const double angle = (pan(hit.drum) + 1.0) * 0.25 * 3.141592653589793;
    const float left = static_cast<float>(std::cos(angle) * 1.41421356) * hit.velocity;
    const float right = static_cast<float>(std::sin(angle) * 1.41421356) * hit.velocity;
    for (size_t i = 0; i < s.size(); ++i)
        out.add(start + static_cast<int64_t>(i), s[i] * left, s[i] * right);
}
