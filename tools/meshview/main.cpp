// Renders a mesh file headless, with plain lighting, from scene cameras at chosen bars or from
// free viewpoints, one PNG per view (`--help` for the usage). A view is <scene camera>@<bar> (the
// scene's own view and projection, e.g. cave@60.5) or free:ex,ey,ez,tx,ty,tz (an effective eye and
// target in mesh coordinates, half-width 0.5). A scene camera whose name starts with "temple" moves
// the light as the temple scene does.
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
#include "app/CommandLine.h"
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

// `count` numbers separated by commas.
bool parseFloats(const std::string& text, float* out, int count) {
    std::size_t start = 0;
    for (int i = 0; i < count; ++i) {
        const std::size_t comma = i + 1 < count ? text.find(',', start) : text.size();
        if (comma == std::string::npos) return false;
        double value = 0.0;
        if (!parseNumber(text.substr(start, comma - start).c_str(), value)) return false;
        out[i] = static_cast<float>(value);
        start = comma + 1;
    }
    return true;
}

OptionValue floatsValue(float* out, int count) {
    return {count == 1 ? "a number" : std::to_string(count) + " numbers separated by commas",
            [out, count](const char* text) { return parseFloats(text, out, count); }};
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
    Options o;
    std::vector<std::string> views;
    CommandLine line;
    line.program = "velmora-meshview";
    line.arguments = "[options] <mesh> <output dir> <view> ...";
    line.about =
        "Renders the mesh plainly lit, one PNG a view: <camera>@<bar> (a scene's camera) or\n"
        "free:ex,ey,ez,tx,ty,tz (an eye and a target in mesh coordinates).\n";
    line.options = {
        {"--size", "WxH", "picture size, 1 to 4096 each (default 960x540)",
         sizeValue(o.width, o.height, 4096)},
        {"--light", "X,Y,Z", "the point light", floatsValue(o.light, 3)},
        {"--radius", "R", "the light's radius (default 40)", floatsValue(&o.radius, 1)},
        {"--falloff", "F", "the light's falloff (default 1)", floatsValue(&o.falloff, 1)},
        {"--fog", "R,G,B", "the fog's colour", floatsValue(o.fog, 3)},
        {"--fog-distance", "D", "where the fog is whole (default 120)",
         floatsValue(&o.fogDistance, 1)},
        {"--shader", "FILE", "draw with this program (a scene's) instead of the plain look",
         textValue(o.shader, "a shader file")},
        {"--texture",
         "UNIT=FILE",
         "bind an image to texture unit 0-7 for --shader",
         {"UNIT=FILE, the unit 0 to 7",
          [&o](const char* text) {
              const std::string value = text;
              const bool ok =
                  value.size() > 2 && value[1] == '=' && value[0] >= '0' && value[0] <= '7';
              if (ok) o.textures.emplace_back(value[0] - '0', value.substr(2));
              return ok;
          }}},
    };
    line.positional = &views;
    line.minPositional = 3;
    line.maxPositional = -1;
    if (const int code = parseOrExitCode(line, argc, argv); code >= 0) return code;
    const std::string meshPath = views[0], outputDir = views[1];
    views.erase(views.begin(), views.begin() + 2);

    DemoWindow window;
    if (!window.create(o.width, o.height, false)) return 1;
    int failures = 0;
    {  // the GL objects go before the window
        LoadedMesh mesh = loadMesh(meshPath.c_str());
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
                clock = camera->clockAtSeconds(secondsOfBars(bar));
                sceneSeconds = clock.sceneSeconds(camera->startBar);
                const CameraShot shot = camera->at(clock);
                v = shot.view;
                halfWidth = shot.halfWidth;
                if (view.rfind("temple", 0) == 0) {
                    light[1] = std::max(70.0f - 8.5f * clock.sceneSeconds(), -28.0f);
                    syncDistort = isSecondOfPair(*clock.scene) ? 1.0f : 0.0f;
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
            const std::string path = outputDir + "/" + name + ".png";
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
