// Every program the scenes draw with must take the uniforms they set: a uniform the linker
// dropped gets location -1 and the scene's value is silently lost.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"
#include "support/SceneTestAssets.h"

namespace {

const std::vector<std::string> kBeatBlock = {"t", "beats", "kick", "bounce", "saw", "t_scene"};

std::vector<std::string> with(std::vector<std::string> names,
                              const std::vector<std::string>& more) {
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

struct ProgramUniforms {
    ShaderProgram* DemoAssets::*program;
    std::vector<std::string> uniforms;
    bool isMesh;  // attribute 0 "position" and 1 "normal", else 0 "corner"
};

}  // namespace

TEST(ShaderFilesTest, EveryProgramTakesTheUniformsItsScenesSet) {
    DemoAssets& a = SceneTestAssets::get();
    const std::vector<std::string> light = {"lightpos", "lightradius", "falloff", "fog_color"};
    const std::vector<ProgramUniforms> programs = {
        {&DemoAssets::cliffShader,
         with(with(kBeatBlock, light),
              {"matrix", "distort", "tex", "moss", "cliffside", "cliff_stripes"}),
         true},
        {&DemoAssets::particlesShader, {"texture", "t", "matrix", "fade", "id"}, false},
        {&DemoAssets::introLogoShader, with(kBeatBlock, {"tex", "screen", "ipos"}), false},
        {&DemoAssets::solidColorShader, {"icolor"}, false},
        {&DemoAssets::bigLogoShader,
         with(kBeatBlock, {"tex", "screen", "ipos", "fadeout", "t_add"}), false},
        {&DemoAssets::asteroidShader,
         with(with(kBeatBlock, light), {"matrix", "fog_falloff", "fog_scale", "distort", "screen"}),
         true},
        {&DemoAssets::cliffTunnelShader,
         with(kBeatBlock, {"matrix", "fog_color", "fog_falloff", "fog_scale", "distort"}), true},
        {&DemoAssets::displayShader, with(kBeatBlock, {"tex", "screen", "ipos", "alpha"}), false},
        {&DemoAssets::displayGreetBgShader, with(kBeatBlock, {"ipos", "fadeout"}), false},
        {&DemoAssets::displayAttentionShader,
         with(kBeatBlock, {"ipos", "fadeout", "scroll_direction"}), false},
        {&DemoAssets::displayGroupnameShader, with(kBeatBlock, {"screen", "ipos", "fadeout"}),
         false},
        {&DemoAssets::stoneShader, with(with(kBeatBlock, light), {"matrix", "tex", "moss"}), true},
        {&DemoAssets::displayCameraShader,
         with(kBeatBlock, {"tex", "screen", "ipos", "blink_factor"}), false},
        {&DemoAssets::kertsiGroundShader,
         with(light, {"matrix", "cliff_stripes", "t_scene", "tex", "moss", "sand"}), true},
        {&DemoAssets::rocket1Shader,
         with(kBeatBlock, {"matrix", "fog_color", "beat", "id", "piece"}), true},
        {&DemoAssets::geometryDistortShader,
         with(with(kBeatBlock, light), {"matrix", "syncdistort", "tex", "moss"}), true},
        {&DemoAssets::debrisParticlesShader, {"texture", "t", "matrix", "fade"}, false},
    };

    for (const ProgramUniforms& p : programs) {
        const ShaderProgram& program = *(a.*p.program);
        GLint linked = 0;
        gl.glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
        EXPECT_TRUE(linked) << program.path;
        for (const std::string& name : p.uniforms)
            EXPECT_NE(program.uniformLocation(name), -1) << program.path << ": " << name;
        // The program binds no attribute locations itself: the files fix them.
        if (p.isMesh) {
            EXPECT_EQ(gl.glGetAttribLocation(program.program, "position"), 0) << program.path;
            const GLint normal = gl.glGetAttribLocation(program.program, "normal");
            EXPECT_TRUE(normal == 1 || normal == -1) << program.path;
        } else {
            EXPECT_EQ(gl.glGetAttribLocation(program.program, "corner"), 0) << program.path;
        }
    }
}
