// Prints the bit patterns of the portable maths, one labelled value per line, so that the Linux and
// the Windows builds can be compared line by line (scripts/ci/wine-smoke.sh). Every input is fixed.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "demo/SceneClock.h"
#include "geometry/SurfaceFields.h"
#include "geometry/SurfaceGenerator.h"
#include "math/Matrix4.h"
#include "math/Scalar.h"

namespace {

std::uint32_t bitsOf(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

float floatOf(std::uint32_t b) {
    float v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

void print(const char* label, int i, float v) {
    std::printf("%s %d %08x\n", label, i, static_cast<unsigned>(bitsOf(v)));
}

void printMatrix(const char* label, int i, const Matrix4& m) {
    std::printf("%s %d", label, i);
    for (float v : m.m) std::printf(" %08x", static_cast<unsigned>(bitsOf(v)));
    std::printf("\n");
}

// A fixed sequence (64-bit LCG) so both builds see the same arguments.
struct Sequence {
    std::uint64_t state = 0x2545F4914F6CDD1Dull;
    std::uint32_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 32);
    }
    // Uniform in [lo, hi).
    float in(float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
    }
};

std::vector<float> scalarArguments(Sequence& seq) {
    std::vector<float> args;
    // The scenes' ranges: angles within a few turns, beat phases up to 2 pi * 800 beats.
    for (int i = 0; i < 1000; ++i) args.push_back(seq.in(-7.0f, 7.0f));
    for (int i = 0; i < 600; ++i) args.push_back(seq.in(0.0f, 5100.0f));
    for (int i = 0; i < 300; ++i) args.push_back(seq.in(-200.0f, 200.0f));
    // Any finite float: large magnitudes need the full argument reduction.
    for (int i = 0; i < 1000; ++i) {
        std::uint32_t b = seq.next();
        if ((b & 0x7f800000u) == 0x7f800000u) b ^= 0x40000000u;
        args.push_back(floatOf(b));
    }
    // Near multiples of pi / 2, where a short reduction loses the most.
    for (int k = 1; k < 200; ++k) {
        const float near = static_cast<float>(k * 1.5707963267948966);
        args.push_back(near);
        args.push_back(floatOf(bitsOf(near) + 1));
        args.push_back(floatOf(bitsOf(near) - 1));
    }
    for (float v :
         {0.0f, -0.0f, 1e-30f, -1e-8f, 0.5f, 1.0f, 3.14159265f, 1e5f, 1e10f, 1e20f, 3.0e38f})
        args.push_back(v);
    return args;
}

void scalars(Sequence& seq) {
    const std::vector<float> args = scalarArguments(seq);
    for (int i = 0; i < static_cast<int>(args.size()); ++i) {
        print("sin", i, sinSingle(args[i]));
        print("cos", i, cosSingle(args[i]));
    }
    for (int i = 0; i < 1500; ++i) {
        const float x = i < 1000 ? seq.in(-5000.0f, 5000.0f) : floatOf(seq.next() & 0x7f7fffffu);
        const float y = i % 3 == 0 ? seq.in(0.5f, 7.0f) : seq.in(-300.0f, 300.0f);
        print("fmod", i, fmodSingle(x, y));
    }
}

// Draws one value per range, in order. Arguments are not drawn inside a call: the order in which a
// call's arguments are evaluated is unspecified (GCC goes right to left, clang left to right).
std::vector<float> draw(Sequence& seq, std::initializer_list<std::pair<float, float>> ranges) {
    std::vector<float> values;
    for (const auto& range : ranges) values.push_back(seq.in(range.first, range.second));
    return values;
}

void matrices(Sequence& seq) {
    Matrix4 projection;
    for (int i = 0; i < 200; ++i) {
        Matrix4 view;
        const std::vector<float> l = draw(seq, {{-300, 300},
                                                {-50, 150},
                                                {-300, 300},
                                                {-20, 20},
                                                {-20, 20},
                                                {-20, 20},
                                                {-0.3f, 0.3f},
                                                {-0.3f, 0.3f}});
        lookAt(view, l[0], l[1], l[2], l[3], l[4], l[5], l[6], 1.0f, l[7]);
        printMatrix("lookAt", i, view);
        const std::vector<float> p =
            draw(seq, {{0.2f, 1.0f}, {0.4f, 1.8f}, {0.05f, 2.0f}, {50.0f, 1000.0f}});
        perspective(projection, p[0], p[1], p[2], p[3]);
        printMatrix("perspective", i, projection);

        Matrix4 model;
        identity(model);
        const std::vector<float> r = draw(seq, {{-20.0f, 20.0f}, {-1, 1}, {-1, 1}, {-1, 1}});
        rotate(model, r[0], r[1], r[2], r[3]);
        printMatrix("rotate", i, model);
        const std::vector<float> s = draw(seq, {{0.1f, 5.0f}, {0.1f, 5.0f}, {0.1f, 5.0f}});
        scale(model, s[0], s[1], s[2]);
        const std::vector<float> t = draw(seq, {{-100, 100}, {-100, 100}, {-100, 100}});
        translate(model, t[0], t[1], t[2]);
        rotate(model, seq.in(-3000.0f, 3000.0f), 0.3f, 1.0f, -0.7f);
        printMatrix("model", i, model);

        Matrix4 modelView, all;
        multiply(modelView, model, view);
        multiply(all, modelView, projection);
        printMatrix("chain", i, all);
    }
}

void clocks(Sequence& seq) {
    const float sizes[][2] = {{1280, 720}, {800, 600}, {1920, 1080}, {640, 480}};
    for (int i = 0; i < 1200; ++i) {
        // The whole soundtrack in uneven steps, then positions well past it.
        const std::int64_t position = i < 1000 ? static_cast<std::int64_t>(i) * 19100037 + i % 7
                                               : static_cast<std::int64_t>(seq.next()) * 4096;
        const float* size = sizes[i % 4];
        const SceneClock c = computeSceneClock(position, size[0], size[1]);
        std::printf(
            "clock %d %08x %08x %08x %08x %08x %08x %08x %d %08x %08x %08x", i,
            static_cast<unsigned>(bitsOf(c.seconds)), static_cast<unsigned>(bitsOf(c.beats)),
            static_cast<unsigned>(bitsOf(c.bars)), static_cast<unsigned>(bitsOf(c.beatInBar)),
            static_cast<unsigned>(bitsOf(c.beatSine)),
            static_cast<unsigned>(bitsOf(c.beatFraction)), static_cast<unsigned>(bitsOf(c.aspect)),
            c.scene ? sceneNumber(*c.scene) : -1, static_cast<unsigned>(bitsOf(c.screenWidth)),
            static_cast<unsigned>(bitsOf(c.screenHeight)),
            static_cast<unsigned>(bitsOf(c.sceneSeconds(kTimeline[i % kSceneCount].startBar))));
        for (float v : c.projection.m) std::printf(" %08x", static_cast<unsigned>(bitsOf(v)));
        std::printf("\n");
    }
}

void fields() {
    const struct {
        const char* name;
        SurfaceField field;
        float extent;
    } all[] = {{"wall", wallField, 200.0f},
               {"sphere", rippledSphereField, 20.0f},
               {"canyon", canyonField, 200.0f},
               {"rod", rodField, 3.0f}};
    const int n = 12;
    for (const auto& f : all) {
        int i = 0;
        for (int a = 0; a <= n; ++a)
            for (int b = 0; b <= n; ++b)
                for (int c = 0; c <= n; ++c) {
                    const float step = 2.0f * f.extent / n;
                    // Off the lattice a little, so the points are not all round numbers.
                    const float x = -f.extent + a * step + 0.013f * c;
                    const float y = -f.extent + b * step - 0.007f * a;
                    const float z = -f.extent + c * step + 0.011f * b;
                    print(f.name, i++, f.field(x, y, z));
                }
    }
}

// FNV-1a over the bytes of every array, with the counts.
std::uint32_t meshHash(const MeshData& mesh) {
    std::uint32_t h = 2166136261u;
    auto add = [&h](const void* data, std::size_t size) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 16777619u;
    };
    add(mesh.positions.data(), mesh.positions.size() * sizeof(float));
    add(mesh.normals.data(), mesh.normals.size() * sizeof(float));
    add(mesh.indices.data(), mesh.indices.size() * sizeof(std::uint32_t));
    return h;
}

void meshes() {
    const struct {
        const char* name;
        int n;
        float extent;
        SurfaceField field;
    } all[] = {{"wall", 32, 200.0f, wallField},
               {"sphere", 32, 20.0f, rippledSphereField},
               {"canyon", 128, 200.0f, canyonField},
               {"rod", 32, 1.5f, rodField}};
    for (const auto& m : all) {
        const MeshData mesh = generateSurfaceData(m.n, m.extent, m.field);
        std::printf("mesh %s %d %d %08x\n", m.name, mesh.vertexCount(), mesh.triangleCount(),
                    static_cast<unsigned>(meshHash(mesh)));
    }
}

}  // namespace

int main() {
    Sequence seq;
    scalars(seq);
    matrices(seq);
    clocks(seq);
    fields();
    meshes();
    return 0;
}
