#pragma once
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Pipes raw RGBA frames into ffmpeg, which writes an H.264 (yuv420p, BT.709) MP4 with the
// soundtrack muxed as AAC, cut to the rendered range so that video frame k shows music position
// audioStartSeconds + k / fps. The sound is always exactly as long as the picture: a soundtrack
// that ends early is padded with silence, and a stream cut short (a signal) ends both together.
// Lossless, it writes the frames as they are (FFV1 in Matroska, no sound): a piece of a capture
// made on several machines, joined later and encoded with the same command as one run.
class VideoEncoder {
public:
    struct Settings {
        std::string path;
        int width = 0;
        int height = 0;
        double fps = 60.0;
        std::string audioPath;  // no sound when it is missing or undecodable (one line says so)
        double audioStartSeconds = 0.0;
        double audioSeconds = 0.0;
        std::string x264Preset = "veryfast";
        std::string x264Profile;  // empty: ffmpeg's choice
        int crf = 20;
        int audioKbps = 192;
        bool lossless = false;
    };

    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // The ffmpeg command that reads the frames, raw RGBA, from its standard input and writes the
    // file: the one place the encoder's arguments are made. Says when the file gets no sound.
    static std::vector<std::string> command(const Settings& settings);
    // Starts ffmpeg. False after printing why.
    bool start(const Settings& settings);
    // One frame of width x height RGBA pixels, rows top first.
    // False once ffmpeg has stopped taking frames.
    bool writeFrame(const std::uint8_t* rgba);
    // Ends the stream and waits for ffmpeg, which finishes the file with what it has been given.
    // False, after a line, when ffmpeg failed; the broken file is then removed.
    bool finish();
    // Seconds of CPU ffmpeg used, known after finish.
    double cpuSeconds() const { return cpuSeconds_; }

private:
    pid_t pid_ = -1;
    int pipe_ = -1;
    std::size_t frameBytes_ = 0;
    bool failed_ = false;
    double cpuSeconds_ = 0.0;
    std::string path_;
};
