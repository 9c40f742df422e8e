#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "ClickTrack.h"

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
std::string render(const std::string& video, const std::string& music) {
    return run(std::string(VELMORA_HEADLESS) + " --size 64x36 --fps 30 --from 1.2 --to 3.2" +
               " --video " + video + (music.empty() ? "" : " --music " + music));
}

TEST(VideoCapture, RangeWithTheSoundtrackCutToIt) {
    const std::string music = tempPath("click.mp3"), video = tempPath("range.mp4");
    ASSERT_TRUE(writeClickTrack(music, 6.0, 44100, 2, 0.5));
    const std::string said = render(video, music);
    EXPECT_NE(said.find("60 frames rendered"), std::string::npos) << said;

    EXPECT_EQ(probe(video, "v", "codec_name,pix_fmt,width,height,nb_frames,duration"),
              "h264,64,36,yuv420p,2.000000,60\n");
    EXPECT_EQ(probe(video, "a", "codec_name,sample_rate"), "aac,44100\n");
    const double audioSeconds = std::atof(probe(video, "a", "duration").c_str());
    EXPECT_NEAR(audioSeconds, 2.0, 0.03);

    // Clicks every 0.5 s of music: cut at 1.2 s, they start 0.3 s and 0.8 s into the video.
    const std::string pcmPath = tempPath("audio.f32");
    run("ffmpeg -v error -y -i " + video + " -ac 1 -f f32le " + pcmPath);
    std::ifstream in(pcmPath, std::ios::binary | std::ios::ate);
    std::vector<float> samples(static_cast<std::size_t>(in.tellg()) / sizeof(float));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(samples.data()), samples.size() * sizeof(float));
    std::vector<double> onsets;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::fabs(samples[i]) > 0.3f) {
            onsets.push_back(i / 44100.0);
            i += 44100 / 10;  // past this click
        }
    }
    ASSERT_GE(onsets.size(), 2u);
    EXPECT_NEAR(onsets[0], 0.3, 0.002);
    EXPECT_NEAR(onsets[1], 0.8, 0.002);
    for (const std::string& f : {music, video, pcmPath}) std::remove(f.c_str());
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

}  // namespace
