// synth: renders the Velmora soundtrack and encodes it to MP3 (`--help` for the usage).
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "LoudnessMeter.h"
#include "Mastering.h"
#include "Mp3Encoder.h"
#include "PcmHash.h"
#include "Soundtrack.h"
#include "Timeline.h"
#include "app/CommandLine.h"
#include "app/StandardStreams.h"

namespace {

// MP3 encoding lowers the measured loudness by about 0.3 LU.
constexpr double kTargetLufs = -13.3;
// Leaves room for the small overshoot that MP3 encoding adds to inter-sample peaks.
constexpr double kCeilingDb = -1.5;

void printSections(const StereoBuffer& audio) {
    static const struct {
        int from, to;
        const char* name;
    } kSections[] = {{0, 8, "intro"},       {8, 22, "first drop"},  {22, 24, "break"},
                     {24, 32, "drive"},     {32, 40, "drive+"},     {40, 56, "melodic"},
                     {56, 68, "cave"},      {68, 72, "cave build"}, {72, 88, "big drop"},
                     {88, 96, "variation"}, {96, 104, "peak"},      {104, 120, "temple"},
                     {120, 136, "finale"},  {136, 142, "tail"}};
    const LoudnessMeter meter(audio);
    std::printf("section        bars       loudness\n");
    for (const auto& s : kSections)
        std::printf("%-14s %3d-%-3d    %6.1f LUFS\n", s.name, s.from, s.to,
                    meter.range(timeline::sampleAtBar(s.from), timeline::sampleAtBar(s.to)));
}

}  // namespace

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    std::vector<std::string> outputs;
    CommandLine line;
    line.program = "synth";
    line.arguments = "[OUTPUT.mp3]";
    line.about =
        "Renders the soundtrack (about 20 s) and writes it as MP3, by default to\n"
        "assets/tunevox_11.mp3 under the working folder.\n";
    line.positional = &outputs;
    line.maxPositional = 1;
    if (const int code = parseOrExitCode(line, argc, argv); code >= 0) return code;
    const std::string output = outputs.empty() ? "assets/tunevox_11.mp3" : outputs[0];

    const auto start = std::chrono::steady_clock::now();
    const Soundtrack soundtrack(composeSoundtrack());
    StereoBuffer song = soundtrack.renderSong();
    const auto rendered = std::chrono::steady_clock::now();
    const MasteringResult master = Mastering(kTargetLufs, kCeilingDb).process(song);
    const auto mastered = std::chrono::steady_clock::now();
    const auto seconds = [](auto a, auto b) {
        return std::chrono::duration<double>(b - a).count();
    };

    std::printf("rendered %.2f s of audio in %.2f s, mastered in %.2f s\n",
                static_cast<double>(song.frames()) / timeline::kSampleRate,
                seconds(start, rendered), seconds(rendered, mastered));
    std::printf(
        "gain %+.1f dB, limiter down to %.1f dB, %.2f LUFS integrated, true peak %.2f dBTP\n",
        master.gainDb, master.limiterReductionDb, master.integratedLufs, master.truePeakDb);
    std::printf("PCM hash %016" PRIx64 "\n", pcmHash(song));
    printSections(song);

    std::string error;
    if (!Mp3Encoder(192, "Velmora", "ZORVEK").write(song, output, error)) {
        std::printf("synth: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s\n", output.c_str());
    return 0;
}
