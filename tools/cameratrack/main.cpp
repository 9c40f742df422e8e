// Prints, and optionally plots, where a scene's camera really is in the coordinates of the model
// it draws: the eye and the viewing direction over the scene's time span.
// Without a scene it lists the scene cameras; `--help` for the usage.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "EffectiveCamera.h"
#include "TrackPlot.h"
#include "TrackedCameras.h"
#include "app/CommandLine.h"
#include "app/StandardStreams.h"

namespace {

void listScenes() {
    std::printf("Scene cameras (bars):\n");
    for (int i = 0; i < kTrackedCameraCount; ++i) {
        const TrackedCamera& s = kTrackedCameras[i];
        std::printf("  %-16s %3d-%3d  %s\n", s.name, s.startBar, s.endBar, s.about);
    }
}

struct Range {
    double lo = 1e300, hi = -1e300;
    void add(double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
};

}  // namespace

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    double step = 0.25, fromBar = 0.0, toBar = 1000.0;
    std::string png;
    bool quiet = false, csv = false;
    std::vector<std::string> sceneNames;
    CommandLine line;
    line.program = "velmora-cameratrack";
    line.arguments = "[options] [scene]";
    line.about =
        "Where a scene's camera really is in the coordinates of its model, over the scene;\n"
        "without a scene, the list of scene cameras.\n";
    line.options = {
        {"--step", "S", "seconds between samples (default 0.25)", numberValue(step, 0.001, 1000.0)},
        {"--from", "BAR", "start there (default: the scene's start)",
         numberValue(fromBar, 0.0, 1000.0)},
        {"--to", "BAR", "end there (default: the scene's end)", numberValue(toBar, 0.0, 1000.0)},
        {"--png", "FILE", "also plot the track", textValue(png, "a file name")},
        {"--csv", "", "one comma-separated line a sample, for other tools", flagValue(csv)},
        {"--quiet", "", "only the summary", flagValue(quiet)},
    };
    line.positional = &sceneNames;
    line.maxPositional = 1;
    if (const int code = parseOrExitCode(line, argc, argv); code >= 0) return code;
    if (sceneNames.empty()) {
        listScenes();
        return 0;
    }
    const TrackedCamera* scene = findTrackedCamera(sceneNames[0].c_str());
    if (!scene) {
        std::printf("Unknown scene camera \"%s\".\n", sceneNames[0].c_str());
        listScenes();
        return 1;
    }
    fromBar = std::max<double>(fromBar, scene->startBar);
    toBar = std::min<double>(toBar, scene->endBar);

    const double start = secondsOfBars(fromBar), end = secondsOfBars(toBar);
    std::vector<EffectiveCamera> samples;
    Range eye[3], fromAxis[3];
    if (csv && !quiet)
        std::printf("seconds,bars,shot,eye_x,eye_y,eye_z,dir_x,dir_y,dir_z,up_x,up_y,up_z\n");
    else if (!quiet)
        std::printf("%9s %8s %-8s %28s %24s %24s\n", "seconds", "bars", "shot", "eye (model)",
                    "view direction", "up");
    // Sample strictly inside the span: the last frame of a scene lies just before its end bar.
    for (double s = start; s < end - 1e-6; s += step) {
        const SceneClock clock = scene->clockAtSeconds(s);
        const CameraShot shot = scene->at(clock);
        const EffectiveCamera cam = effectiveCamera(shot.view);
        if (!cam.valid) {
            std::printf("%9.3f: the view cannot be inverted\n", s);
            continue;
        }
        samples.push_back(cam);
        for (int a = 0; a < 3; ++a) {
            eye[a].add(cam.eye[a]);
            const double u = cam.eye[(a + 1) % 3], w = cam.eye[(a + 2) % 3];
            fromAxis[a].add(std::sqrt(u * u + w * w));
        }
        if (csv && !quiet)
            std::printf("%.4f,%.4f,%s,%.4f,%.4f,%.4f,%.5f,%.5f,%.5f,%.5f,%.5f,%.5f\n", s,
                        clock.bars, shot.viewpoint, cam.eye[0], cam.eye[1], cam.eye[2],
                        cam.forward[0], cam.forward[1], cam.forward[2], cam.up[0], cam.up[1],
                        cam.up[2]);
        else if (!quiet)
            std::printf(
                "%9.3f %8.3f %-8s (%8.2f %8.2f %8.2f) (%6.3f %6.3f %6.3f) (%6.3f %6.3f %6.3f)\n", s,
                clock.bars, shot.viewpoint, cam.eye[0], cam.eye[1], cam.eye[2], cam.forward[0],
                cam.forward[1], cam.forward[2], cam.up[0], cam.up[1], cam.up[2]);
    }
    if (samples.empty()) {
        std::printf("No samples between bars %.3f and %.3f.\n", fromBar, toBar);
        return 1;
    }
    std::printf("%s, bars %.3f-%.3f, %zu samples\n", scene->name, fromBar, toBar, samples.size());
    const char* names = "xyz";
    for (int a = 0; a < 3; ++a)
        std::printf("  eye %c from %8.2f to %8.2f   distance from the %c axis %7.2f to %7.2f\n",
                    names[a], eye[a].lo, eye[a].hi, names[a], fromAxis[a].lo, fromAxis[a].hi);
    if (!png.empty()) {
        char title[160];
        std::snprintf(title, sizeof title,
                      "%s: effective camera, bars %.2f to %.2f (blue to orange)", scene->name,
                      fromBar, toBar);
        if (!writeTrackPlot(png, title, samples)) return 1;
        std::printf("Wrote %s\n", png.c_str());
    }
    return 0;
}
