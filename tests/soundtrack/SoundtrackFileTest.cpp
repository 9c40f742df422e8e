// Checks the committed soundtrack as the demo hears it: decoded gaplessly by libmpg123.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "AudioAnalysis.h"
#include "DecodedAudio.h"
#include "LoudnessMeter.h"
#include "Timeline.h"
#include "TruePeak.h"

namespace {

const char* const kSoundtrack = "assets/tunevox_11.mp3";
using timeline::kSecondsPerBar;

struct Bars {
    int from;
    int to;
};
// Where the full kit plays, with a kick on every beat.
constexpr Bars kFullKit[] = {{8, 22}, {24, 40}, {72, 104}, {120, 136}};

class SoundtrackFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        audio_ = new DecodedAudio;
        decoded_ = audio_->decode(kSoundtrack, error_);
    }
    static void TearDownTestSuite() {
        delete audio_;
        audio_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(decoded_) << error_; }

    static const DecodedAudio& audio() { return *audio_; }
    static size_t sampleAtBar(double bar) {
        return static_cast<size_t>(std::llround(bar * kSecondsPerBar * audio_->rate));
    }

    static DecodedAudio* audio_;
    static bool decoded_;
    static std::string error_;
};

DecodedAudio* SoundtrackFile::audio_ = nullptr;
bool SoundtrackFile::decoded_ = false;
std::string SoundtrackFile::error_;

TEST_F(SoundtrackFile, IsTaggedStereoAt44100HzAndOutlastsTheDemo) {
    EXPECT_EQ(audio().rate, 44100);
    EXPECT_EQ(audio().channels, 2);
    // The demo ends after bar 142 (191.46 s).
    EXPECT_GE(audio().seconds(), 192.0);
    EXPECT_LE(audio().seconds(), 195.0);
    EXPECT_EQ(audio().title, "Velmora");
    EXPECT_EQ(audio().artist, "ZORVEK");
}

TEST_F(SoundtrackFile, KicksOfTheFullKitSectionsLandOnTheBeatGrid) {
    const std::vector<float> energy = analysis::kickBandEnergy(
        analysis::mono(audio().left, audio().right), static_cast<double>(audio().rate));
    double sum = 0.0, sumSquares = 0.0, worst = 0.0;
    int count = 0;
    for (const Bars& section : kFullKit)
        for (int beat = section.from * 4; beat < section.to * 4; ++beat) {
            const double expected = beat * kSecondsPerBar / 4.0;
            const analysis::Onset onset = analysis::onsetNear(energy, audio().rate, expected, 0.04);
            const double errorMs = (onset.seconds - expected) * 1000.0;
            EXPECT_LE(std::fabs(errorMs), 5.0) << "beat " << beat << " (bar " << beat / 4.0 << ")";
            EXPECT_GE(onset.riseDb, 3.0) << "no clear kick on beat " << beat;
            sum += errorMs;
            sumSquares += errorMs * errorMs;
            worst = std::max(worst, std::fabs(errorMs));
            ++count;
        }
    const double mean = sum / count;
    std::printf("kick onsets: %d beats, mean %+.2f ms, sd %.2f ms, worst %.2f ms\n", count, mean,
                std::sqrt(std::max(0.0, sumSquares / count - mean * mean)), worst);
}

TEST_F(SoundtrackFile, KickBodyRisesWithinFifteenMillisecondsOfTheBeat) {
    // The body below 150 Hz must follow the click closely, or the downbeat sounds like a tom
    // under pictures that flash on the beat. Searched from 10 ms before to 100 ms after the beat,
    // far enough to catch a slow sweep and short of the bass returning after its duck.
    const std::vector<float> energy = analysis::kickBodyEnergy(
        analysis::mono(audio().left, audio().right), static_cast<double>(audio().rate));
    std::vector<double> rises;
    for (const Bars& section : kFullKit)
        for (int beat = section.from * 4; beat < section.to * 4; ++beat) {
            const double grid = beat * kSecondsPerBar / 4.0;
            const analysis::Onset onset =
                analysis::onsetNear(energy, audio().rate, grid + 0.045, 0.055);
            rises.push_back((onset.seconds - grid) * 1000.0);
        }
    std::sort(rises.begin(), rises.end());
    const double median = rises[rises.size() / 2];
    std::printf("kick body rise: %zu beats, median %.1f ms, quartiles %.1f / %.1f ms\n",
                rises.size(), median, rises[rises.size() / 4], rises[rises.size() * 3 / 4]);
    EXPECT_LE(median, 15.0);
    EXPECT_GE(median, 0.0);
}

TEST_F(SoundtrackFile, FirstDropKickDecodesOnItsBarLine) {
    // Gapless decoding must remove the encoder's delay exactly: bar 8 is at 10.786517 s.
    const std::vector<float> energy = analysis::kickBandEnergy(
        analysis::mono(audio().left, audio().right), static_cast<double>(audio().rate));
    const double expected = 8.0 * kSecondsPerBar;
    EXPECT_NEAR(analysis::onsetNear(energy, audio().rate, expected, 0.04).seconds, expected, 0.001);
}

TEST_F(SoundtrackFile, TruePeakStaysBelowMinusPointThreeDbfs) {
    const TruePeak meter;
    const float peak = std::max(meter.peak(audio().left), meter.peak(audio().right));
    const double peakDb = 20.0 * std::log10(peak);
    std::printf("true peak (4x oversampled): %.2f dBFS\n", peakDb);
    EXPECT_LE(peakDb, -0.3);
}

TEST_F(SoundtrackFile, IntegratedLoudnessIsBetweenMinus16AndMinus12Lufs) {
    StereoBuffer buffer;
    buffer.left = audio().left;
    buffer.right = audio().right;
    const double ours = LoudnessMeter(buffer).integrated();
    std::printf("integrated loudness: %.2f LUFS\n", ours);
    EXPECT_GE(ours, -16.0);
    EXPECT_LE(ours, -12.0);

    // An independent meter must agree.
    if (std::system("ffmpeg -version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const std::string command = std::string("ffmpeg -hide_banner -nostats -i ") + kSoundtrack +
                                " -af ebur128 -f null - 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string log;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) log += line;
    pclose(pipe);
    const size_t summary = log.rfind("Integrated loudness:");
    ASSERT_NE(summary, std::string::npos) << log.substr(log.size() > 2000 ? log.size() - 2000 : 0);
    const size_t value = log.find("I:", summary);
    ASSERT_NE(value, std::string::npos);
    const double theirs = std::stod(log.substr(value + 2));
    std::printf("integrated loudness (ffmpeg ebur128): %.1f LUFS\n", theirs);
    EXPECT_GE(theirs, -16.0);
    EXPECT_LE(theirs, -12.0);
    EXPECT_NEAR(ours, theirs, 0.2);
}

TEST_F(SoundtrackFile, HasNoDcOffset) {
    for (const std::vector<float>* channel : {&audio().left, &audio().right}) {
        double sum = 0.0;
        for (float v : *channel) sum += v;
        EXPECT_LT(std::fabs(sum / channel->size()), 1e-3);
    }
}

TEST_F(SoundtrackFile, BarLinesCarryNoClicks) {
    double worst = 0.0;
    int worstBar = 0;
    for (int bar = 1; bar <= 141; ++bar) {
        const double ratio = analysis::barLineStepRatio(audio().left, audio().right, audio().rate,
                                                        kSecondsPerBar, bar);
        EXPECT_LT(ratio, 2.0) << "a step stands out at bar " << bar;
        if (ratio > worst) {
            worst = ratio;
            worstBar = bar;
        }
    }
    std::printf("largest bar-line step ratio: %.2f (bar %d)\n", worst, worstBar);
}

TEST_F(SoundtrackFile, BarLineStatisticFindsAnInsertedClick) {
    // The cave with a 0.05 step added at bar 62: the kind of fault the check is for.
    DecodedAudio clicked = audio();
    for (size_t i = sampleAtBar(62); i < sampleAtBar(64); ++i) {
        clicked.left[i] += 0.05f;
        clicked.right[i] += 0.05f;
    }
    EXPECT_GT(
        analysis::barLineStepRatio(clicked.left, clicked.right, clicked.rate, kSecondsPerBar, 62),
        2.0);
}

TEST_F(SoundtrackFile, SectionsFollowTheArrangement) {
    StereoBuffer buffer;
    buffer.left = audio().left;
    buffer.right = audio().right;
    const LoudnessMeter meter(buffer);
    const std::vector<float> mono = analysis::mono(audio().left, audio().right);
    struct Section {
        const char* name;
        Bars bars;
        double loudness = 0.0;
        double centroid = 0.0;
    };
    Section sections[] = {{"intro", {0, 6}},     {"first drop", {8, 22}}, {"drive", {24, 40}},
                          {"melodic", {40, 54}}, {"cave", {56, 68}},      {"big drop", {72, 88}},
                          {"peak", {96, 104}},   {"temple", {104, 118}},  {"finale", {120, 136}}};
    std::printf("%-12s %-9s %10s %12s\n", "section", "bars", "LUFS", "centroid Hz");
    for (Section& s : sections) {
        const size_t begin = sampleAtBar(s.bars.from), end = sampleAtBar(s.bars.to);
        s.loudness = meter.range(begin, end);
        s.centroid = analysis::spectralCentroid(mono, audio().rate, begin, end);
        std::printf("%-12s %3d-%-5d %10.1f %12.0f\n", s.name, s.bars.from, s.bars.to, s.loudness,
                    s.centroid);
    }
    const auto& [intro, firstDrop, drive, melodic, cave, bigDrop, peak, temple, finale] = sections;
    const Section drops[] = {firstDrop, bigDrop, peak, finale};
    for (const Section& drop : drops) {
        EXPECT_GT(drop.loudness, intro.loudness + 4.0) << drop.name;
        EXPECT_GT(drop.loudness, cave.loudness + 4.0) << drop.name;
        EXPECT_GT(drop.loudness, temple.loudness + 3.0) << drop.name;
        EXPECT_GT(drop.centroid, 1.5 * temple.centroid) << drop.name;
    }
    // The cave is the darkest stretch of the song.
    for (const Section& s : sections) {
        if (&s == &cave) continue;
        EXPECT_LT(cave.centroid, 0.75 * s.centroid) << s.name;
    }
    // The peak and the finale are at least as loud as the first drop.
    EXPECT_GE(peak.loudness, firstDrop.loudness - 0.5);
    EXPECT_GE(finale.loudness, firstDrop.loudness - 0.5);
}

TEST_F(SoundtrackFile, FadesToSilenceBeforeTheDemoEnds) {
    float tail = 0.0f;
    for (size_t i = static_cast<size_t>(191.0 * audio().rate); i < audio().left.size(); ++i)
        tail = std::max({tail, std::fabs(audio().left[i]), std::fabs(audio().right[i])});
    EXPECT_LT(tail, 1e-3f);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SoundtrackRegeneration, SynthWritesTheCommittedFileByteForByte) {
    // Anyone must be able to rebuild the soundtrack from a clean clone and get the same file:
    // rendering, mastering and encoding all deterministic.
    const std::string output =
        (std::filesystem::temp_directory_path() / "velmora-regenerated.mp3").string();
    const std::string command =
        std::string("\"") + VELMORA_SYNTH + "\" \"" + output + "\" > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string regenerated = fileBytes(output), committed = fileBytes(kSoundtrack);
    std::remove(output.c_str());
    ASSERT_FALSE(committed.empty()) << kSoundtrack;
    EXPECT_EQ(regenerated.size(), committed.size());
    EXPECT_TRUE(regenerated == committed) << "run `make soundtrack` and listen to the result";
}

}  // namespace
