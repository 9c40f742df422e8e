// Prints, and optionally plots, where a scene's camera really is in the coordinates of the model
// it draws: the eye and the viewing direction over the scene's time span.
//   velmora-cameratrack                      lists the scene cameras
//   velmora-cameratrack <scene> [--step S] [--from BAR] [--to BAR] [--png FILE] [--csv] [--quiet]
// --csv prints one comma-separated line per sample for other tools; --quiet only the summary.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "EffectiveCamera.h"
#include "TrackPlot.h"
#include "TrackedCameras.h"
#include "app/StandardStreams.h"

namespace {

bool parseNumber(const char* text, double& out, const char* what) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v)) {
        std::printf("Ignoring %s \"%s\": expected a number\n", what, text);
        return false;
    }
    out = v;
    return true;
}

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
    if (argc < 2) {
        listScenes();
        return 0;
    }
    const TrackedCamera* scene = findTrackedCamera(argv[1]);
    if (!scene) {
        std::printf("Unknown scene camera \"%s\".\n", argv[1]);
        listScenes();
        return 1;
    }
    double step = 0.25, fromBar = scene->startBar, toBar = scene->endBar;
    std::string png;
    bool quiet = false, csv = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        double v = 0;
        if (arg == "--step" && hasValue) {
            if (parseNumber(argv[++i], v, "step") && v >= 0.001) step = v;
        } else if (arg == "--from" && hasValue) {
            if (parseNumber(argv[++i], v, "start bar"))
                fromBar = std::max<double>(v, scene->startBar);
        } else if (arg == "--to" && hasValue) {
            if (parseNumber(argv[++i], v, "end bar")) toBar = std::min<double>(v, scene->endBar);
        } else if (arg == "--png" && hasValue) {
            png = argv[++i];
        } else if (arg == "--csv") {
            csv = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else {
            std::printf("Ignoring argument \"%s\"\n", arg.c_str());
        }
    }

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
        const SceneClock clock = clockAtSeconds(s);
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
