#include "app/headless/VideoEncoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

bool fileExists(const std::string& path) {
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
        return true;
    }
    return false;
}

std::vector<char*> argumentList(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

// Runs a program without a shell and returns what it printed; false when it fails.
bool readOutput(std::vector<std::string> args, std::string& output) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = argumentList(args);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (error == 0) {
        char buffer[256];
        ssize_t n;
        while ((n = read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0) output.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    if (error != 0) return false;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The soundtrack's length in seconds as ffprobe reads it; negative when there is no audio
// stream ffprobe can decode.
double soundtrackSeconds(const std::string& path) {
    std::string out;
    if (!readOutput({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                     "stream=codec_type:format=duration", "-of", "default=nw=1:nk=1", path},
                    out) ||
        out.find("audio") == std::string::npos)
        return -1.0;
    const std::size_t line = out.find('\n', out.find("audio"));
    const double seconds = line == std::string::npos ? 0.0 : std::atof(out.c_str() + line + 1);
    return seconds > 0.0 ? seconds : 1e30;  // no length given: trust the decoder and the padding
}

}  // namespace

VideoEncoder::~VideoEncoder() {
    finish();
}

std::vector<std::string> VideoEncoder::command(const Settings& s) {
    std::vector<std::string> args = {
        "ffmpeg",     "-hide_banner", "-loglevel",
        "error",      "-nostats",     "-y",
        "-f",         "rawvideo",     "-pix_fmt",
        "rgba",       "-s",           std::to_string(s.width) + "x" + std::to_string(s.height),
        "-framerate", number(s.fps),  "-i",
        "-"};
    if (s.lossless) {
        // BGRA holds the RGBA bytes unchanged; slices carry checksums, so a damaged file shows.
        args.insert(args.end(), {"-c:v", "ffv1", "-level", "3", "-slicecrc", "1", "-pix_fmt",
                                 "bgra", "-f", "matroska", s.path});
        return args;
    }

    // What sound the file gets: the soundtrack, silence after its end, or none.
    const double rangeEnd = s.audioStartSeconds + s.audioSeconds;
    double soundSeconds = -1.0;
    if (!fileExists(s.audioPath)) {
        std::printf("No soundtrack at %s: %s will have no sound\n", s.audioPath.c_str(),
                    s.path.c_str());
    } else if ((soundSeconds = soundtrackSeconds(s.audioPath)) < 0.0) {
        std::printf("Cannot decode the soundtrack %s: %s will have no sound\n", s.audioPath.c_str(),
                    s.path.c_str());
    } else if (soundSeconds < rangeEnd - 0.001) {
        std::printf("The soundtrack %s ends at %.2f s: %s is silent from there to %.2f s\n",
                    s.audioPath.c_str(), soundSeconds, s.path.c_str(), rangeEnd);
    }
    const bool withSound = soundSeconds >= 0.0;

    if (withSound && soundSeconds > s.audioStartSeconds) {
        // Input options: decode from the first frame's position, no longer than the picture.
        args.insert(args.end(), {"-ss", number(s.audioStartSeconds), "-t", number(s.audioSeconds),
                                 "-i", s.audioPath});
    } else if (withSound) {
        // The range starts after the soundtrack's end: all silence.
        args.insert(args.end(), {"-f", "lavfi", "-i", "anullsrc=r=44100:cl=stereo"});
    }
    if (withSound) {
        // Silence after the soundtrack's end; -shortest then cuts the sound where the picture
        // ends, also when the picture ends early.
        args.insert(args.end(), {"-map", "0:v", "-map", "1:a", "-af", "apad", "-shortest"});
    }
    // yuv420p needs even sizes, so an odd last row or column goes. BT.709, tagged, as players
    // assume for HD.
    args.insert(args.end(),
                {"-vf",
                 "crop=trunc(iw/2)*2:trunc(ih/2)*2,"
                 "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p",
                 "-color_primaries", "bt709", "-color_trc", "bt709", "-colorspace", "bt709", "-c:v",
                 "libx264", "-preset", s.x264Preset, "-crf", std::to_string(s.crf)});
    if (!s.x264Profile.empty()) args.insert(args.end(), {"-profile:v", s.x264Profile});
    if (withSound)
        args.insert(args.end(), {"-c:a", "aac", "-b:a", std::to_string(s.audioKbps) + "k"});
    args.insert(args.end(), {"-movflags", "+faststart", s.path});
    return args;
}

bool VideoEncoder::start(const Settings& s) {
    path_ = s.path;
    frameBytes_ = static_cast<std::size_t>(s.width) * s.height * 4;
    failed_ = false;
    cpuSeconds_ = 0.0;
    std::vector<std::string> args = command(s);
    std::vector<char*> argv = argumentList(args);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        std::printf("Cannot make a pipe to ffmpeg (%s)\n", std::strerror(errno));
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    // A group of its own: Ctrl-C in the terminal reaches only this program, which then ends the
    // stream so that ffmpeg finishes the file, instead of both stopping at once.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int error = posix_spawnp(&pid_, "ffmpeg", &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (error != 0) {
        close(fds[1]);
        pid_ = -1;
        std::printf("Cannot start ffmpeg (%s): it is needed to write %s\n", std::strerror(error),
                    s.path.c_str());
        return false;
    }
    pipe_ = fds[1];
    // A dead ffmpeg must show up as a failed write, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

bool VideoEncoder::writeFrame(const std::uint8_t* rgba) {
    if (pipe_ < 0 || failed_) return false;
    std::size_t done = 0;
    while (done < frameBytes_) {
        const ssize_t n = write(pipe_, rgba + done, frameBytes_ - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            std::printf("ffmpeg stopped taking frames (%s)\n", std::strerror(errno));
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool VideoEncoder::finish() {
    if (pid_ < 0) return false;
    close(pipe_);
    pipe_ = -1;
    int status = 0;
    rusage usage{};
    while (wait4(pid_, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    cpuSeconds_ = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    if (failed_ || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        // Without its index at the end an MP4 does not play: nothing of it is worth keeping.
        std::remove(path_.c_str());
        if (WIFSIGNALED(status))
            std::printf("ffmpeg was killed by signal %d: removed the incomplete %s\n",
                        WTERMSIG(status), path_.c_str());
        else
            std::printf("ffmpeg failed (exit code %d): removed the incomplete %s\n",
                        WIFEXITED(status) ? WEXITSTATUS(status) : -1, path_.c_str());
        return false;
    }
    return true;
}
