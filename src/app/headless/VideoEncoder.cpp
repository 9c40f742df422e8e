#include "app/headless/VideoEncoder.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/headless/Mp4File.h"
#include "geometry/AssetFile.h"

extern char** environ;

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// After a stop signal, how long ffmpeg may take no frame, or use no CPU time while it finishes
// the file, before it is killed.
const double kStuckSeconds = 5.0;

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t colon = folders.find(':', start);
        if (colon == std::string::npos) colon = folders.size();
        const std::string folder = folders.substr(start, colon - start);
        if (access(((folder.empty() ? "." : folder) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = colon + 1;
    }
    return false;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::vector<char*> argumentList(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

// Runs a program without a shell and returns what it printed: 0 when it succeeded, -1 when it
// failed, else the error number of starting it.
int readOutput(std::vector<std::string> args, std::string& output) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return errno;
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
    if (error != 0) return error;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}

// The soundtrack's length in seconds as ffprobe reads it; negative when there is no audio
// stream ffprobe can decode. `startError` is the error number when ffprobe cannot be started.
double soundtrackSeconds(const std::string& path, int& startError) {
    std::string out;
    startError = readOutput({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                             "stream=codec_type:format=duration", "-of", "default=nw=1:nk=1", path},
                            out);
    if (startError != 0 || out.find("audio") == std::string::npos) {
        if (startError < 0) startError = 0;
        return -1.0;
    }
    const std::size_t line = out.find('\n', out.find("audio"));
    const double seconds = line == std::string::npos ? 0.0 : std::atof(out.c_str() + line + 1);
    return seconds > 0.0 ? seconds : 1e30;  // no length given: trust the decoder and the padding
}

}  // namespace

VideoEncoder::~VideoEncoder() {
    // Not finished: ffmpeg is stopped with its group and its file removed.
    if (pipe_ >= 0) close(pipe_);
}

bool VideoEncoder::probeSoundtrack(const Settings& s, double& soundSeconds) {
    // What sound the file gets: the soundtrack, silence after its end, or none. The soundtrack
    // is checked as the demo opens it (a regular file, never waited for) before ffprobe and
    // ffmpeg read it.
    const double rangeEnd = s.audioStartSeconds + s.audioSeconds;
    soundSeconds = -1.0;
    std::string why;
    int probeError = 0;
    std::FILE* soundtrack = openAssetFile(s.audioPath, why);
    const int openError = errno;
    if (soundtrack) {
        std::fclose(soundtrack);
        soundSeconds = soundtrackSeconds(s.audioPath, probeError);
    }
    if (!soundtrack) {
        std::printf("No soundtrack at %s (%s): %s will have no sound\n", s.audioPath.c_str(),
                    why.empty() ? std::strerror(openError) : why.c_str(), s.path.c_str());
    } else if (probeError != 0) {
        std::printf("Cannot start ffprobe (%s): it is needed to put the soundtrack into %s\n",
                    std::strerror(probeError), s.path.c_str());
        return false;
    } else if (soundSeconds < 0.0) {
        std::printf("Cannot decode the soundtrack %s: %s will have no sound\n", s.audioPath.c_str(),
                    s.path.c_str());
    } else if (soundSeconds < rangeEnd - 0.001) {
        std::printf("The soundtrack %s ends at %.2f s: %s is silent from there to %.2f s\n",
                    s.audioPath.c_str(), soundSeconds, s.path.c_str(), rangeEnd);
    }
    return true;
}

std::vector<std::string> VideoEncoder::command(const Settings& s, double soundSeconds,
                                               const std::string& output) {
    const bool withSound = soundSeconds >= 0.0;

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
                                 "bgra", "-f", "matroska", output});
        return args;
    }
    if (withSound && soundSeconds > s.audioStartSeconds) {
        // Input options: decode from the first frame's position, no longer than the picture.
        args.insert(args.end(), {"-ss", number(s.audioStartSeconds), "-t", number(s.audioSeconds),
                                 "-i", s.audioPath});
    } else if (withSound) {
        // The range starts after the soundtrack's end: all silence.
        args.insert(args.end(), {"-f", "lavfi", "-i", "anullsrc=r=44100:cl=stereo"});
    }
    if (withSound) {
        // Silence after the soundtrack's end, up to the picture's length exactly (an endless pad
        // cut by -shortest alone ran up to 0.09 s long); -shortest cuts the sound where the
        // picture ends when it ends early.
        args.insert(args.end(), {"-map", "0:v", "-map", "1:a", "-af",
                                 "apad=whole_dur=" + number(s.audioSeconds), "-shortest"});
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
    args.insert(args.end(), {"-movflags", "+faststart", output});
    return args;
}

bool VideoEncoder::start(const Settings& s) {
    path_ = s.path;
    frameBytes_ = static_cast<std::size_t>(s.width) * s.height * 4;
    frames_ = 0;
    lossless_ = s.lossless;
    failed_ = false;
    cpuSeconds_ = 0.0;
    if (!onPath("ffmpeg")) {
        std::printf("Cannot start ffmpeg (not found on PATH): it is needed to write %s\n",
                    s.path.c_str());
        return false;
    }
    std::string why;
    if (sameFile(s.path, s.audioPath)) {
        std::printf("Cannot write %s: it is the soundtrack the video takes its sound from\n",
                    s.path.c_str());
        return false;
    }
    if (!output_.create(s.path, why)) {
        std::printf("Cannot write %s (%s)\n", s.path.c_str(), why.c_str());
        return false;
    }

    double soundSeconds = -1.0;
    if (!s.lossless && !probeSoundtrack(s, soundSeconds)) return false;
    std::vector<std::string> args = command(s, soundSeconds, output_.temporaryPath());

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        std::printf("Cannot make a pipe to ffmpeg (%s)\n", std::strerror(errno));
        return false;
    }
    const int error = ffmpeg_.start(args, fds[0]);
    close(fds[0]);
    if (error != 0) {
        close(fds[1]);
        std::printf("Cannot start ffmpeg (%s): it is needed to write %s\n", std::strerror(error),
                    s.path.c_str());
        return false;
    }
    pipe_ = fds[1];
    // Frames are written without blocking, so that a stop signal can end a wait for ffmpeg.
    fcntl(pipe_, F_SETFL, fcntl(pipe_, F_GETFL) | O_NONBLOCK);
    // A dead ffmpeg must show up as a failed write, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

bool VideoEncoder::writeFrame(const std::uint8_t* rgba) {
    using Clock = std::chrono::steady_clock;
    if (pipe_ < 0 || failed_) return false;
    std::size_t done = 0;
    Clock::time_point lastProgress = Clock::now();
    bool stopSeen = false;
    while (done < frameBytes_) {
        const ssize_t n = write(pipe_, rgba + done, frameBytes_ - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            lastProgress = Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd ready{pipe_, POLLOUT, 0};
            poll(&ready, 1, 100);
            if (!stopped()) continue;
            // The deadline counts from the signal, or from the last byte taken after it.
            if (!stopSeen) lastProgress = std::max(lastProgress, Clock::now());
            stopSeen = true;
            if (Clock::now() - lastProgress < std::chrono::duration<double>(kStuckSeconds))
                continue;
            failed_ = true;
            ffmpeg_.killGroup();
            std::printf("ffmpeg took no frame for %g s after the signal: stopped it\n",
                        kStuckSeconds);
            return false;
        }
        failed_ = true;
        std::printf("ffmpeg stopped taking frames (%s)\n", std::strerror(errno));
        return false;
    }
    ++frames_;
    return true;
}

bool VideoEncoder::finish() {
    if (!ffmpeg_.started()) return false;
    close(pipe_);
    pipe_ = -1;
    const ChildProcess::End end = ffmpeg_.wait([this] { return stopped(); }, kStuckSeconds);
    cpuSeconds_ = end.cpuSeconds;
    const int status = end.status;
    std::string why;
    if (end.killedStuck) {
        std::printf("ffmpeg did nothing for %g s after the signal: stopped it; %s is not written\n",
                    kStuckSeconds, path_.c_str());
    } else if (failed_ || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        const std::string line = ffmpeg_.lastErrorLine();
        const std::string said = line.empty() ? "" : ": \"" + line + "\"";
        if (WIFSIGNALED(status))
            std::printf("ffmpeg was killed by signal %d%s; %s is not written\n", WTERMSIG(status),
                        said.c_str(), path_.c_str());
        else
            std::printf("ffmpeg failed (exit code %d)%s; %s is not written\n",
                        WIFEXITED(status) ? WEXITSTATUS(status) : -1, said.c_str(), path_.c_str());
    } else if (frames_ == 0) {
        std::printf("No frame was rendered: %s is not written\n", path_.c_str());
    } else if (!lossless_ && !completeMp4(output_.temporaryPath(), why)) {
        std::printf("ffmpeg ended without a complete file (%s): %s is not written\n", why.c_str(),
                    path_.c_str());
    } else if (!output_.commit(why)) {
        std::printf("Cannot write %s (%s)\n", path_.c_str(), why.c_str());
    } else {
        return true;
    }
    output_.discard();
    return false;
}
