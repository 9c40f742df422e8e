#pragma once
#include <sys/types.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/headless/ChildProcess.h"
#include "app/headless/OutputFile.h"

// Pipes raw RGBA frames into ffmpeg, which writes an H.264 (yuv420p, BT.709) MP4 with the
// soundtrack muxed as AAC, cut to the rendered range so that video frame k shows music position
// audioStartSeconds + k / fps. The sound is always exactly as long as the picture: a soundtrack
// that ends early is padded with silence, and a stream cut short (a signal) ends both together.
// ffmpeg writes beside the target (OutputFile), which is replaced only by a complete file.
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

    // The ffmpeg command that reads the frames, raw RGBA, from its standard input and writes
    // `output`: the one place the encoder's arguments are made. `soundSeconds` is the
    // soundtrack's length (see probeSoundtrack); negative: no sound.
    static std::vector<std::string> command(const Settings& settings, double soundSeconds,
                                            const std::string& output);
    // The soundtrack's length as ffmpeg will read it, after a line when the file gets no sound or
    // silence at its end; false after a line when ffprobe cannot be started.
    static bool probeSoundtrack(const Settings& settings, double& soundSeconds);
    // Starts ffmpeg. False after printing why: ffmpeg or ffprobe missing, a target that is not a
    // new name or a writable regular file, or the soundtrack itself.
    bool start(const Settings& settings);
    // Once `*stop` is set (a stop signal), an ffmpeg that takes no frame, or uses no CPU time
    // while finishing, for a few seconds is killed with its process group.
    void stopWhenStuck(const volatile std::sig_atomic_t* stop) { stop_ = stop; }
    // One frame of width x height RGBA pixels, rows top first.
    // False once ffmpeg has stopped taking frames.
    bool writeFrame(const std::uint8_t* rgba);
    // Ends the stream and waits for ffmpeg, which finishes the file with what it has been given.
    // The file then replaces the target, when it is complete and holds at least one frame;
    // otherwise false, after a line (with ffmpeg's last error line when it failed), and the
    // target is left as it was.
    bool finish();
    // Seconds of CPU ffmpeg used, known after finish.
    double cpuSeconds() const { return cpuSeconds_; }

private:
    bool stopped() const { return stop_ && *stop_; }

    ChildProcess ffmpeg_;
    OutputFile output_;
    int pipe_ = -1;
    std::size_t frameBytes_ = 0;
    long frames_ = 0;
    bool lossless_ = false;
    bool failed_ = false;
    double cpuSeconds_ = 0.0;
    std::string path_;
    const volatile std::sig_atomic_t* stop_ = nullptr;
};
