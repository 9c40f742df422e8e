// CPU time of the rocket field, on the calling thread, every piece drawn (the scene itself leaves
// out those out of view): up to 204 draws of the rod, each after "beat", "id", "piece" and
// "matrix" are set with a name look-up.
//   rocket_pass_bench [WxH] [frames]     (defaults 1280x720, 200)
// Printed as milliseconds per frame and as multiples of a baseline measured in the same run: the
// same draws with the four locations looked up once per frame. Variants take out the draws (the
// uniform traffic alone) and the uniforms (the draws alone). Every frame is finished (glFinish)
// outside the timed part, so the GL's own rasterising threads are not counted.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchDemo.h"
#include "demo/Scenes.h"
#include "demo/Timeline.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"

namespace {

enum class Pass { ByName, CachedLocations, UniformsOnly, DrawsOnly };

// The scene's slot loop: slot i holds rocket id 6 - i when h + i is divisible by 2 or 3.
int rocketPass(DemoAssets& a, const Matrix4& product, std::int64_t h, Pass pass) {
    const ShaderProgram& rocket = *a.rocket1Shader;
    const GLint beat = rocket.uniformLocation("beat"), id = rocket.uniformLocation("id"),
                piece = rocket.uniformLocation("piece"), matrix = rocket.uniformLocation("matrix");
    int draws = 0;
    for (int i = 0; i < 50; ++i) {
        if ((h + i) % 3 != 0 && (h + i) % 2 != 0) continue;
        for (int j = 0; j < 6; ++j) {
            if (pass == Pass::ByName || pass == Pass::UniformsOnly) {
                rocket.setFloat("beat", float(h));
                rocket.setFloat("id", float(6 - i));
                rocket.setFloat("piece", float(j));
                rocket.setMatrix("matrix", product);
            } else if (pass == Pass::CachedLocations) {
                gl.glUniform1f(beat, float(h));
                gl.glUniform1f(id, float(6 - i));
                gl.glUniform1f(piece, float(j));
                gl.glUniformMatrix4fv(matrix, 1, GL_FALSE, product.m);
            }
            if (pass != Pass::UniformsOnly) a.fieldMeshD.geometry->draw(a.fieldMeshD.indexCount);
            ++draws;
        }
    }
    return draws;
}

// Scenes 7 and 8, where the rockets stand.
constexpr double kFirstBar = sceneNamed("rockets").startBar;
constexpr double kLastBar = endBar(sceneNamed("rockets 2"));

struct Timing {
    double cpu = 0.0;  // ms per frame on this thread
    int draws = 0;
};

Timing timePass(BenchDemo& demo, int frames, Pass pass) {
    DemoAssets& a = demo.assets;
    Timing timing;
    for (int f = 0; f < frames; ++f) {
        // Frames spread over scenes 7 and 8, so the slot pattern and the camera vary.
        const double bars = kFirstBar + (kLastBar - kFirstBar) * (f + 0.5) / frames;
        SceneClock clock = frameAtBar(demo, bars);
        Matrix4 view, product;
        lookAt(view, 80.0f, 10.0f, 0.0f, 0.0f, -5.0f, 0.0f, 0.0f, 1.0f, 0.0f);
        multiply(product, view, clock.projection);
        a.rocket1Shader->use();
        gl.glEnable(GL_BLEND);
        const double start = threadCpuMilliseconds();
        timing.draws += rocketPass(a, product, static_cast<std::int64_t>(2.0 * clock.beats), pass);
        timing.cpu += threadCpuMilliseconds() - start;
        gl.glDisable(GL_BLEND);
        gl.glFinish();
    }
    timing.cpu /= frames;
    timing.draws /= frames;
    return timing;
}

// The whole scene routine, for scale: its CPU time per frame on this thread.
double timeScene(BenchDemo& demo, int frames) {
    double cpu = 0.0;
    for (int f = 0; f < frames; ++f) {
        const double bars = kFirstBar + (kLastBar - kFirstBar) * (f + 0.5) / frames;
        SceneClock clock = frameAtBar(demo, bars);
        const double start = threadCpuMilliseconds();
        drawRocketsScene(demo.assets, clock);
        cpu += threadCpuMilliseconds() - start;
        gl.glFinish();
    }
    return cpu / frames;
}

}  // namespace

int main(int argc, char** argv) {
    BenchDemo demo;
    if (!loadBenchDemo(demo, argc, argv, "rocket_pass_bench [WxH] [frames]")) return 2;
    const BenchDemo::Size& settings = demo.settings;
    DemoAssets& assets = demo.assets;
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;

    // Rounds in turn, so that the machine's load falls on every variant alike; medians reported.
    constexpr int kRounds = 7;
    const int perRound = std::max(1, frames / kRounds);
    const Pass passes[4] = {Pass::CachedLocations, Pass::ByName, Pass::UniformsOnly,
                            Pass::DrawsOnly};
    std::vector<double> samples[5];
    int drawsPerFrame = 0;
    timePass(demo, 10, Pass::ByName);  // warm the driver's caches
    for (int round = 0; round < kRounds; ++round) {
        for (int p = 0; p < 4; ++p) {
            const Timing timing = timePass(demo, perRound, passes[p]);
            samples[p].push_back(timing.cpu);
            if (passes[p] == Pass::ByName) drawsPerFrame = timing.draws;
        }
        samples[4].push_back(timeScene(demo, std::max(1, perRound / 4)));
    }
    const double cached = median(samples[0]);

    std::printf("\n%dx%d, %d frames, rod of %d indices, %d rod draws a frame on average\n",
                settings.width, settings.height, perRound * kRounds, assets.fieldMeshD.indexCount,
                drawsPerFrame);
    std::printf("baseline: draws, locations looked up once a frame  %7.3f ms CPU\n", cached);
    const struct {
        const char* what;
        double ms;
    } rows[] = {{"rocket pass as drawn (look-ups by name)", median(samples[1])},
                {"  the uniforms by name alone, no draws", median(samples[2])},
                {"  the draws alone, no uniforms", median(samples[3])},
                {"whole rockets scene routine", median(samples[4])}};
    for (const auto& r : rows)
        std::printf("%-48s %7.3f ms CPU  %6.2f x baseline\n", r.what, r.ms, r.ms / cached);
    closeBenchDemo(demo);
    return 0;
}
