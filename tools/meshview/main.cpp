// Renders a mesh file headless, with plain lighting, from scene cameras at chosen bars or from
// free viewpoints, one PNG per view:
//   velmora-meshview <mesh> <output dir> [--size WxH] [--light x,y,z] [--radius R] [--falloff F]
//                    [--fog r,g,b] [--fog-distance D] [--shader FILE] [--texture UNIT=FILE]
//                    <view> ...
// A view is <scene camera>@<bar> (the scene's own view and projection, e.g. cave@60.5) or
// free:ex,ey,ez,tx,ty,tz (an effective eye and target in mesh coordinates, half-width 0.5).
// A scene camera whose name starts with "temple" moves the light as the temple scene does.
// --shader draws with a scene's own program instead of the plain look: it gets the view's clock
// as the beat uniforms, "tex" = 0, "moss" = 1, and "syncdistort" in scene 10; --texture binds an
// image to a unit for it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "EffectiveCamera.h"
#include "ImageFile.h"
#include "TrackedCameras.h"
#include "app/DemoWindow.h"
#include "app/StandardStreams.h"
#include "demo/Timeline.h"
#include "geometry/MeshFile.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/LoadedMesh.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"

namespace {

bool parseFloats(const std::string& text, float* out, int count) {
    const char* p = text.c_str();
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        out[i] = std::strtof(p, &end);
        if (end == p || !std::isfinite(out[i])) return false;
        p = end;
        if (i + 1 < count) {
            if (*p != ',') return false;
            ++p;
        }
    }
    return *p == '\0';
}

// A view whose effective camera (under the row-vector reading) sits at eye looking at target.
Matrix4 freeView(const float* eye, const float* target) {
    double f[3], r[3], u[3];
    double len = 0;
    for (int i = 0; i < 3; ++i) {
        f[i] = target[i] - eye[i];
        len += f[i] * f[i];
    }
    len = std::sqrt(len);
    for (double& v : f) v /= len;
    // Up is +y, or +z when looking straight up or down.
    const bool vertical = std::fabs(f[1]) > 0.99;
    const double worldUp[3] = {0.0, vertical ? 0.0 : 1.0, vertical ? 1.0 : 0.0};
    r[0] = f[1] * worldUp[2] - f[2] * worldUp[1];
    r[1] = f[2] * worldUp[0] - f[0] * worldUp[2];
    r[2] = f[0] * worldUp[1] - f[1] * worldUp[0];
    len = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    for (double& v : r) v /= len;
    u[0] = r[1] * f[2] - r[2] * f[1];
    u[1] = r[2] * f[0] - r[0] * f[2];
    u[2] = r[0] * f[1] - r[1] * f[0];
    // p_view = p * V: column c of the rotation part is the view axis c (right, up, back).
    Matrix4 v;
    identity(v);
    const double* axes[3] = {r, u, f};
    for (int c = 0; c < 3; ++c) {
        const double sign = c == 2 ? -1.0 : 1.0;
        double offset = 0;
        for (int k = 0; k < 3; ++k) {
            v.m[4 * k + c] = static_cast<float>(sign * axes[c][k]);
            offset += sign * axes[c][k] * eye[k];
        }
        v.m[12 + c] = static_cast<float>(-offset);
    }
    return v;
}

struct Options {
    int width = 960, height = 540;
    float light[3] = {0, 0, 0};
    float radius = 40.0f, falloff = 1.0f, fogDistance = 120.0f;
    float fog[3] = {0.1f, 0.1f, 0.2f};
    std::string shader = std::string(VELMORA_MESHVIEW_DIR) + "/meshview.shader";
    std::vector<std::pair<int, std::string>> textures;
};

}  // namespace

int main(int argc, char** argv) {
    keepStandardStreamsOpen();
    if (argc < 4) {
        std::printf(
            "usage: velmora-meshview <mesh> <output dir> [options] <camera>@<bar> | "
            "free:ex,ey,ez,tx,ty,tz ...\n");
        return 1;
    }
    Options o;
    std::vector<std::string> views;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        bool ok = true;
        if (arg == "--size" && hasValue)
            ok = std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) == 2 && o.width > 0 &&
                 o.height > 0 && o.width <= 4096 && o.height <= 4096;
        else if (arg == "--light" && hasValue)
            ok = parseFloats(argv[++i], o.light, 3);
        else if (arg == "--fog" && hasValue)
            ok = parseFloats(argv[++i], o.fog, 3);
        else if (arg == "--radius" && hasValue)
            ok = parseFloats(argv[++i], &o.radius, 1);
        else if (arg == "--falloff" && hasValue)
            ok = parseFloats(argv[++i], &o.falloff, 1);
        else if (arg == "--fog-distance" && hasValue)
            ok = parseFloats(argv[++i], &o.fogDistance, 1);
        else if (arg == "--shader" && hasValue)
            o.shader = argv[++i];
        else if (arg == "--texture" && hasValue) {
            const std::string value = argv[++i];
            const std::size_t eq = value.find('=');
            const int unit = eq == 1 ? value[0] - '0' : -1;
            ok = unit >= 0 && unit <= 7;
            if (ok) o.textures.emplace_back(unit, value.substr(2));
        } else
            views.push_back(arg);
        if (!ok) {
            std::printf("Bad value for %s\n", arg.c_str());
            return 1;
        }
    }

    DemoWindow window;
    if (!window.create(o.width, o.height, false)) return 1;
    int failures = 0;
    {  // the GL objects go before the window
        LoadedMesh mesh = loadMesh(argv[1]);
        ShaderProgram shader(o.shader);
        std::vector<std::unique_ptr<Texture2D>> textures;
        for (const auto& [unit, path] : o.textures) {
            textures.push_back(Texture2D::fromImage(path, GL_LINEAR));
            bindToUnit(unit, *textures.back());
        }
        gl.glEnable(GL_DEPTH_TEST);
        gl.glDepthFunc(GL_LEQUAL);

        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(o.width) * o.height * 4);
        for (const std::string& view : views) {
            Matrix4 v, projection;
            float halfWidth = 0.5f, light[3] = {o.light[0], o.light[1], o.light[2]};
            SceneClock clock = clockAtSeconds(0.0);
            float sceneSeconds = 0.0f, syncDistort = 0.0f;
            std::string name;
            float free[6];
            const std::size_t at = view.find('@');
            if (view.rfind("free:", 0) == 0 && parseFloats(view.substr(5), free, 6)) {
                v = freeView(free, free + 3);
                name = "free";
                for (float f : free) name += "_" + std::to_string(static_cast<int>(std::lround(f)));
            } else if (at != std::string::npos && findTrackedCamera(view.substr(0, at).c_str())) {
                const TrackedCamera* camera = findTrackedCamera(view.substr(0, at).c_str());
                float bar = 0;
                if (!parseFloats(view.substr(at + 1), &bar, 1)) {
                    std::printf("Bad bar in view \"%s\"\n", view.c_str());
                    ++failures;
                    continue;
                }
                clock = clockAtSeconds(secondsOfBars(bar));
                sceneSeconds = clock.sceneSeconds(camera->startBar);
                const CameraShot shot = camera->at(clock);
                v = shot.view;
                halfWidth = shot.halfWidth;
                if (view.rfind("temple", 0) == 0) {
                    light[1] =
                        std::max(70.0f - 8.5f * clock.sceneSeconds(kTimeline[9].startBar), -28.0f);
                    syncDistort = clock.sceneIndex == 10 ? 1.0f : 0.0f;
                }
                name = view;
                std::replace(name.begin(), name.end(), '@', '_');
            } else {
                std::printf("Unknown view \"%s\"\n", view.c_str());
                ++failures;
                continue;
            }
            perspective(projection, halfWidth, static_cast<float>(o.height) / o.width, 1.0f,
                        200.0f);
            Matrix4 matrix;
            multiply(matrix, v, projection);
            const EffectiveCamera cam = effectiveCamera(v);

            gl.glClearColor(o.fog[0], o.fog[1], o.fog[2], 1.0f);
            gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            shader.use();
            shader.setMatrix("matrix", matrix);
            shader.setFloat3("eye", static_cast<float>(cam.eye[0]), static_cast<float>(cam.eye[1]),
                             static_cast<float>(cam.eye[2]));
            shader.setFloat3("lightpos", light[0], light[1], light[2]);
            shader.setFloat("lightradius", o.radius);
            shader.setFloat("falloff", o.falloff);
            shader.setFloat3("fog_color", o.fog[0], o.fog[1], o.fog[2]);
            shader.setFloat("fog_distance", o.fogDistance);
            shader.setFloat("t", clock.seconds);
            shader.setFloat("beats", clock.beats);
            shader.setFloat("kick", clock.beatInBar);
            shader.setFloat("bounce", clock.beatSine);
            shader.setFloat("saw", clock.beatFraction);
            shader.setFloat("t_scene", sceneSeconds);
            shader.setFloat("syncdistort", syncDistort);
            shader.setInt("tex", 0);
            shader.setInt("moss", 1);
            if (mesh.geometry) mesh.geometry->draw(mesh.indexCount);
            gl.glFinish();
            gl.glReadPixels(0, 0, o.width, o.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
            std::vector<std::uint8_t> rows(pixels.size());
            const std::size_t stride = static_cast<std::size_t>(o.width) * 4;
            for (int y = 0; y < o.height; ++y)
                std::copy_n(&pixels[(o.height - 1 - y) * stride], stride, &rows[y * stride]);
            const std::string path = std::string(argv[2]) + "/" + name + ".png";
            if (writePng(path, o.width, o.height, rows))
                std::printf("%s: eye (%.1f, %.1f, %.1f) looking (%.2f, %.2f, %.2f)\n", path.c_str(),
                            cam.eye[0], cam.eye[1], cam.eye[2], cam.forward[0], cam.forward[1],
                            cam.forward[2]);
            else
                ++failures;
        }
    }
    window.shutdown();
    return failures == 0 ? 0 : 1;
}
