// The synthesizer's building blocks and its determinism.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "Adsr.h"
#include "DecodedAudio.h"
#include "Limiter.h"
#include "LoudnessMeter.h"
#include "Mp3Encoder.h"
#include "Noise.h"
#include "Oscillator.h"
#include "PcmHash.h"
#include "Soundtrack.h"
#include "SvFilter.h"
#include "Timeline.h"
#include "TruePeak.h"

namespace {

constexpr double kRate = 44100.0;
constexpr double kTwoPi = 6.283185307179586;

// Amplitude of the component at `hz` (Goertzel over whole periods of the signal).
double amplitudeAt(const std::vector<float>& x, double hz) {
    const double w = kTwoPi * hz / kRate;
    double s1 = 0.0, s2 = 0.0;
    for (float v : x) {
        const double s = v + 2.0 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / x.size();
}

double db(double x) {
    return 20.0 * std::log10(x);
}

std::vector<float> sine(double hz, double amplitude, size_t frames) {
    std::vector<float> x(frames);
    for (size_t i = 0; i < frames; ++i)
        x[i] = static_cast<float>(amplitude * std::sin(kTwoPi * hz * i / kRate));
    return x;
}

TEST(Soundtrack, RendersTheSameExcerptBitForBit) {
    // Bars 8-10: the first drop with kick, bass, lead, pads, arpeggio, hats and both effects.
    const Soundtrack soundtrack(composeSoundtrack());
    const StereoBuffer first = soundtrack.renderBars(8.0, 10.0);
    const StereoBuffer second = Soundtrack(composeSoundtrack()).renderBars(8.0, 10.0);
    ASSERT_EQ(first.frames(),
              static_cast<size_t>(timeline::sampleAtBar(10.0) - timeline::sampleAtBar(8.0)));
    EXPECT_EQ(pcmHash(first), pcmHash(second));
    // Recorded on x86-64 with glibc; another maths library may round a last bit differently and
    // would need a new reference after listening to the result.
    EXPECT_EQ(pcmHash(first), 0x8c9a10bf7d8a0020ull) << std::hex << pcmHash(first);
    float peak = 0.0f;
    for (float v : first.left) peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.1f);
}

TEST(Timeline, PlacesBarsOnTheirExactSample) {
    // Rounded once from the exact bar time: bar 8 = 10.786517 s, bar 142 = 191.460674 s.
    EXPECT_EQ(timeline::sampleAtBar(8.0), 475685);
    EXPECT_EQ(timeline::sampleAtBar(142.0), 8443416);
    EXPECT_EQ(timeline::sampleAtBar(1.0 / 16.0), 3716);
}

TEST(Oscillator, SawKeepsAliasesFarBelowItsFundamental) {
    // A 5 kHz saw: its 8th harmonic (40 kHz) folds to 4.1 kHz unless the steps are band-limited.
    Oscillator saw(Oscillator::Shape::Saw);
    std::vector<float> x(44100);
    for (float& v : x) v = saw.next(5000.0);
    const double fundamental = amplitudeAt(x, 5000.0);
    EXPECT_NEAR(fundamental, 2.0 / 3.14159265, 0.05);
    EXPECT_LT(db(amplitudeAt(x, 4100.0) / fundamental), -35.0);
    EXPECT_LT(db(amplitudeAt(x, 900.0) / fundamental), -35.0);
}

TEST(Oscillator, PulseStaysCentredOnZero) {
    Oscillator pulse(Oscillator::Shape::Pulse, 0.0, 0.2);
    double sum = 0.0;
    for (int i = 0; i < 44100; ++i) sum += pulse.next(441.0);
    EXPECT_NEAR(sum / 44100.0, 0.0, 1e-3);
}

TEST(SvFilter, LowpassPassesBelowAndCutsAboveItsCutoff) {
    const auto gainAt = [](double hz) {
        SvFilter filter;
        filter.setCutoff(1000.0, 0.0);
        std::vector<float> x = sine(hz, 1.0, 44100);
        for (float& v : x) v = filter.lowpass(v);
        x.erase(x.begin(), x.begin() + 4410);  // settle
        return db(amplitudeAt(x, hz));
    };
    EXPECT_NEAR(gainAt(200.0), 0.0, 0.3);
    EXPECT_NEAR(gainAt(1000.0), -3.0, 0.5);
    // Two poles: 12 dB an octave, about -36 dB three octaves up.
    EXPECT_LT(gainAt(8000.0), -33.0);
}

TEST(Adsr, ReleaseStartsWhereTheNoteWasAndEndsAtZero) {
    const Adsr env{0.01, 0.1, 0.6, 0.2};
    const double gate = 0.5;
    EXPECT_NEAR(env.level(gate - 1e-6, gate), env.level(gate + 1e-6, gate), 1e-4);
    EXPECT_LT(env.level(gate + 0.2, gate), 1e-12);
    EXPECT_EQ(env.level(5.0, gate), 0.0);
    // A note released during its attack falls from where it got to.
    EXPECT_NEAR(env.level(0.005, 0.005), 0.5, 1e-9);
}

TEST(Limiter, HoldsTruePeaksUnderTheCeilingAndLeavesQuietAudioAlone) {
    StereoBuffer loud(88200);
    Noise noise(5);
    for (size_t i = 0; i < loud.frames(); ++i) {
        const double burst = (i / 11025) % 2 ? 3.0 : 0.3;
        loud.left[i] =
            static_cast<float>(burst * std::sin(kTwoPi * 11000.0 * i / kRate) + 0.2 * noise.next());
        loud.right[i] = static_cast<float>(burst * noise.next());
    }
    const double ceiling = std::pow(10.0, -1.0 / 20.0);
    const Limiter limiter(ceiling, 0.0015, 0.08);
    EXPECT_LT(limiter.process(loud), -10.0);
    const TruePeak meter;
    EXPECT_LE(meter.peak(loud.left), ceiling * 1.001);
    EXPECT_LE(meter.peak(loud.right), ceiling * 1.001);

    StereoBuffer quiet(4410);
    quiet.left = sine(440.0, 0.5, 4410);
    quiet.right = quiet.left;
    const StereoBuffer before = quiet;
    EXPECT_EQ(limiter.process(quiet), 0.0);
    EXPECT_EQ(quiet.left, before.left);
}

TEST(LoudnessMeter, ReadsReferenceSinesAndGatesSilence) {
    // A full-scale 997 Hz sine in one channel reads -3.01 LUFS.
    StereoBuffer tone(static_cast<size_t>(kRate * 5));
    tone.left = sine(997.0, 1.0, tone.frames());
    EXPECT_NEAR(LoudnessMeter(tone).integrated(), -3.01, 0.05);
    tone.left = sine(997.0, 0.1, tone.frames());
    EXPECT_NEAR(LoudnessMeter(tone).integrated(), -23.01, 0.05);
    // A long stretch 27 dB quieter falls under the relative gate and barely moves the reading
    // (only the blocks straddling the join count); ungated it would read about -27.7.
    StereoBuffer padded(tone.frames() * 3);
    const std::vector<float> quiet = sine(997.0, 0.0045, padded.frames());
    for (size_t i = 0; i < padded.frames(); ++i) padded.left[i] = quiet[i];
    std::copy(tone.left.begin(), tone.left.end(), padded.left.begin() + tone.frames());
    EXPECT_NEAR(LoudnessMeter(padded).integrated(), -23.01, 0.3);
}

TEST(Mp3Encoder, RoundTripsGaplesslyWithItsTags) {
    // Two seconds of quiet tone with one loud click; the decoder must give back the same number
    // of frames with the click on the same sample.
    StereoBuffer audio(88200);
    audio.left = sine(330.0, 0.1, audio.frames());
    audio.right = audio.left;
    const size_t click = 30011;
    audio.left[click] = audio.right[click] = 0.9f;
    const std::string path = ::testing::TempDir() + "synth_roundtrip.mp3";
    std::string error;
    ASSERT_TRUE(Mp3Encoder(192, "Velmora", "ZORVEK").write(audio, path, error)) << error;

    DecodedAudio decoded;
    ASSERT_TRUE(decoded.decode(path, error)) << error;
    EXPECT_EQ(decoded.rate, 44100);
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.left.size(), audio.frames());
    size_t loudest = 0;
    for (size_t i = 0; i < decoded.left.size(); ++i)
        if (std::fabs(decoded.left[i] - audio.left[i] * (i == click ? 0.0f : 1.0f)) >
            std::fabs(decoded.left[loudest] -
                      audio.left[loudest] * (loudest == click ? 0.0f : 1.0f)))
            loudest = i;
    EXPECT_NEAR(static_cast<double>(loudest), static_cast<double>(click), 1.0);
    EXPECT_EQ(decoded.title, "Velmora");
    EXPECT_EQ(decoded.artist, "ZORVEK");
    std::remove(path.c_str());
}

TEST(Mp3Encoder, ReportsAnUnwritablePath) {
    std::string error;
    EXPECT_FALSE(Mp3Encoder(192, "Velmora", "ZORVEK")
                     .write(StereoBuffer(1152), "/nonexistent/dir/out.mp3", error));
    EXPECT_NE(error.find("/nonexistent/dir/out.mp3"), std::string::npos);
}

TEST(Score, KicksOnlyOnBeatsAndEverythingEndsBeforeTheTail) {
    const Score score = composeSoundtrack();
    for (const DrumHit& hit : score.drums) {
        if (hit.drum == Drum::Kick) {
            EXPECT_DOUBLE_EQ(hit.bar * 4.0, std::round(hit.bar * 4.0))
                << "kick off the beat at bar " << hit.bar;
        }
        EXPECT_LE(hit.bar, 136.0);
    }
    for (const std::vector<NoteEvent>& part : score.notes)
        for (const NoteEvent& n : part) {
            EXPECT_GT(n.length, 0.0);
            EXPECT_LE(n.bar + n.length, 141.0) << "a note rings past the fade at bar " << n.bar;
        }
}

}  // namespace
