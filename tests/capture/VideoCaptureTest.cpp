#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ClickTrack.h"
#include "gl/ImageDecoder.h"

namespace {

std::string run(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

std::string tempPath(const std::string& name) {
    return testing::TempDir() + "velmora_capture_" + std::to_string(getpid()) + "_" + name;
}

// "codec,value" lines from ffprobe for one stream kind (v or a).
std::string probe(const std::string& file, const char* stream, const char* entries) {
    return run("ffprobe -v error -select_streams " + std::string(stream) +
               " -show_entries stream=" + entries + " -of csv=p=0 " + file);
}

// Renders music positions 1.2 s to 3.2 s at 30 fps: frames 36 to 95.
std::string render(const std::string& video, const std::string& music,
                   const std::string& more = "") {
    return run(std::string(VELMORA_HEADLESS) + " --size 64x36 --fps 30 --from 1.2 --to 3.2" +
               " --video " + video + (music.empty() ? "" : " --music " + music) + " " + more);
}

// The video's sound decoded to mono floats.
std::vector<float> soundOf(const std::string& video) {
    const std::string pcmPath = tempPath("audio.f32");
    run("ffmpeg -v error -y -i " + video + " -ac 1 -f f32le " + pcmPath);
    std::ifstream in(pcmPath, std::ios::binary | std::ios::ate);
    std::vector<float> samples(static_cast<std::size_t>(in.tellg()) / sizeof(float));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(samples.data()), samples.size() * sizeof(float));
    std::remove(pcmPath.c_str());
    return samples;
}

// Seconds into the sound at which clicks start.
std::vector<double> clickOnsets(const std::vector<float>& samples) {
    std::vector<double> onsets;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::fabs(samples[i]) > 0.3f) {
            onsets.push_back(i / 44100.0);
            i += 44100 / 10;  // past this click
        }
    }
    return onsets;
}

// Supersampled or not, frame k shows music position 1.2 s + k / 30: the clicks every 0.5 s of
// music fall 0.3 s and 0.8 s into the video, within 2 ms.
void expectRangeWithTheSoundtrackCutToIt(const std::string& options) {
    const std::string music = tempPath("click.mp3"), video = tempPath("range.mp4");
    ASSERT_TRUE(writeClickTrack(music, 6.0, 44100, 2, 0.5));
    const std::string said = render(video, music, options);
    EXPECT_NE(said.find("60 frames rendered"), std::string::npos) << said;

    EXPECT_EQ(probe(video, "v", "codec_name,pix_fmt,width,height,nb_frames,duration"),
              "h264,64,36,yuv420p,2.000000,60\n");
    EXPECT_EQ(probe(video, "a", "codec_name,sample_rate"), "aac,44100\n");
    const double audioSeconds = std::atof(probe(video, "a", "duration").c_str());
    EXPECT_NEAR(audioSeconds, 2.0, 0.03);

    const std::vector<double> onsets = clickOnsets(soundOf(video));
    ASSERT_GE(onsets.size(), 2u);
    EXPECT_NEAR(onsets[0], 0.3, 0.002);
    EXPECT_NEAR(onsets[1], 0.8, 0.002);
    for (const std::string& f : {music, video}) std::remove(f.c_str());
}

TEST(VideoCapture, RangeWithTheSoundtrackCutToIt) {
    expectRangeWithTheSoundtrackCutToIt("");
}

TEST(VideoCapture, SupersampledRangeKeepsTheSoundtrackAligned) {
    expectRangeWithTheSoundtrackCutToIt("--supersample 2");
}

// A soundtrack ending at 1.6 s of the 1.2-3.2 s range: its one click at 1.5 s stays where it
// belongs, silence fills the rest, and the sound lasts as long as the picture.
TEST(VideoCapture, AShortSoundtrackIsPaddedWithSilenceToThePicturesLength) {
    const std::string music = tempPath("short.mp3"), video = tempPath("short.mp4");
    ASSERT_TRUE(writeClickTrack(music, 1.6, 44100, 2, 0.5));
    const std::string said = render(video, music);
    EXPECT_NE(said.find("The soundtrack " + music + " ends at"), std::string::npos) << said;
    EXPECT_EQ(probe(video, "v", "nb_frames"), "60\n");
    EXPECT_NEAR(std::atof(probe(video, "a", "duration").c_str()), 2.0, 0.03);
    const std::vector<float> samples = soundOf(video);
    const std::vector<double> onsets = clickOnsets(samples);
    ASSERT_EQ(onsets.size(), 1u);
    EXPECT_NEAR(onsets[0], 0.3, 0.002);
    float loudestAfterTheEnd = 0.0f;
    for (std::size_t i = 44100 * 6 / 10; i < samples.size(); ++i)
        loudestAfterTheEnd = std::max(loudestAfterTheEnd, std::fabs(samples[i]));
    EXPECT_LT(loudestAfterTheEnd, 0.01f);
    for (const std::string& f : {music, video}) std::remove(f.c_str());
}

// Bytes that are no MP3 at all: one line, and the capture goes on without sound.
TEST(VideoCapture, AnUndecodableSoundtrackGivesAPictureOnlyFileAndSaysSo) {
    const std::string music = tempPath("noise.mp3"), video = tempPath("noise.mp4");
    std::ofstream out(music, std::ios::binary);
    for (int i = 0; i < 20000; ++i) out.put(static_cast<char>((i * 7919) % 251));
    out.close();
    const std::string said = render(video, music);
    EXPECT_NE(said.find("Cannot decode the soundtrack " + music), std::string::npos) << said;
    EXPECT_EQ(probe(video, "v", "codec_name,nb_frames"), "h264,60\n");
    EXPECT_EQ(probe(video, "a", "codec_name"), "");
    for (const std::string& f : {music, video}) std::remove(f.c_str());
}

// One output pixel of the box filter the runner uses: the mean of a factor x factor block, taken in
// linear light.
double srgbToLinear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double linearToSrgb(double c) {
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

// Supersampling renders the demo at twice the size and filters it down: at 320x180 it must equal
// the 640x360 frame filtered down here, within one step of rounding, at an edge-rich frame of
// every kind (the tunnel's credits, the fly-by's cards, the rockets).
TEST(Supersampling, EqualsTheDoubleSizeRenderFilteredDown) {
    const std::string dir = tempPath("ss");
    const std::string runner = VELMORA_HEADLESS;
    const std::string times = " --times 28b,46b,76b";
    run(runner + " --size 640x360" + times + " --png " + dir + "/big");
    run(runner + " --size 320x180 --supersample 2" + times + " --png " + dir + "/small");
    for (int i = 0; i < 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%05d.png", i);
        DecodedImage big, small;
        ASSERT_TRUE(decodeImage(dir + "/big" + name, big)) << name;
        ASSERT_TRUE(decodeImage(dir + "/small" + name, small)) << name;
        ASSERT_EQ(small.width, 320);
        ASSERT_EQ(small.height, 180);
        int worst = 0;
        long off = 0;
        for (int y = 0; y < 180; ++y) {
            for (int x = 0; x < 320; ++x) {
                for (int c = 0; c < 3; ++c) {
                    double sum = 0.0;
                    for (int dy = 0; dy < 2; ++dy)
                        for (int dx = 0; dx < 2; ++dx)
                            sum += srgbToLinear(
                                big.pixels[((2 * y + dy) * 640 + 2 * x + dx) * 4 + c] / 255.0);
                    const int expected =
                        static_cast<int>(std::lround(linearToSrgb(sum / 4.0) * 255.0));
                    const int got = small.pixels[(y * 320 + x) * 4 + c];
                    worst = std::max(worst, std::abs(got - expected));
                    if (got != expected) ++off;
                }
            }
        }
        EXPECT_LE(worst, 1) << name;
        EXPECT_LT(off, 320 * 180 * 3 / 20) << name;  // rounding moves a few values, not most
    }
    std::filesystem::remove_all(dir);
}

TEST(VideoCapture, MissingSoundtrackGivesAPictureOnlyFileAndSaysSo) {
    const std::string video = tempPath("silent.mp4");
    const std::string said = render(video, tempPath("no_such.mp3"));
    EXPECT_NE(said.find("No soundtrack at"), std::string::npos) << said;
    EXPECT_EQ(probe(video, "v", "codec_name,nb_frames"), "h264,60\n");
    EXPECT_EQ(probe(video, "a", "codec_name"), "");
    std::remove(video.c_str());
}

TEST(VideoCapture, TheDemoSoundtrackIsMuxed) {
    if (!std::ifstream("assets/tunevox_11.mp3")) GTEST_SKIP() << "no soundtrack yet";
    const std::string video = tempPath("demo.mp4");
    render(video, "");
    EXPECT_EQ(probe(video, "a", "codec_name"), "aac\n");
    EXPECT_NEAR(std::atof(probe(video, "a", "duration").c_str()), 2.0, 0.03);
    std::remove(video.c_str());
}

// Short videos used to carry more sound than picture: 0.139 s of sound for 3 frames at 60 fps.
TEST(VideoCapture, ShortVideosCarryAsMuchSoundAsPicture) {
    const std::string video = tempPath("short.mp4");
    for (const char* frames : {"3", "30"}) {
        run(std::string(VELMORA_HEADLESS) + " --size 32x18 --frames " + frames + " --video " +
            video);
        const double picture = std::atof(frames) / 60.0;
        EXPECT_NEAR(std::atof(probe(video, "v", "duration").c_str()), picture, 0.001);
        EXPECT_NEAR(std::atof(probe(video, "a", "duration").c_str()), picture, 0.001) << frames;
    }
    std::remove(video.c_str());
}

}  // namespace
