// The programs must take the uniforms their scenes set: a uniform the linker dropped gets
// location -1 and the scene's value is silently lost. Each scene's tests list what its programs
// must use; the attribute locations are fixed by the files themselves.
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
    std::unique_ptr<ShaderProgram> DemoAssets::*program;
    std::vector<std::string> uniforms;
    bool isMesh;  // attribute 0 "position" and 1 "normal", else 0 "corner"
};

}  // namespace

TEST(ShaderFilesTest, EveryProgramTakesTheUniformsItsScenesSet) {
    DemoAssets& a = SceneTestAssets::get();
    const std::vector<std::string> light = {"lightpos", "lightradius", "falloff", "fog_color"};
    // The intro's and the canyon's programs use every uniform those scenes set; the other
    // scenes' programs at least what places their geometry.
    const std::vector<ProgramUniforms> programs = {
        {&DemoAssets::cliffShader,
         with(with(kBeatBlock, light),
              {"matrix", "distort", "tex", "moss", "cliffside", "cliff_stripes"}),
         true},
        {&DemoAssets::simpleShader, {"matrix", "kick", "saw", "t_scene", "cliffside"}, true},
        {&DemoAssets::particlesShader, {"texture", "t", "matrix", "fade", "id"}, false},
        {&DemoAssets::introLogoShader, with(kBeatBlock, {"tex", "screen", "ipos"}), false},
        {&DemoAssets::solidColorShader, {"icolor"}, false},
        {&DemoAssets::bigLogoShader,
         with(kBeatBlock, {"tex", "screen", "ipos", "fadeout", "t_add"}), false},
        {&DemoAssets::asteroidShader, {"matrix"}, true},
        {&DemoAssets::cliffTunnelShader, {"matrix"}, true},
        {&DemoAssets::displayShader, {"ipos", "alpha"}, false},
        {&DemoAssets::displayGreetBgShader, {"ipos"}, false},
        {&DemoAssets::displayAttentionShader, {"ipos"}, false},
        {&DemoAssets::displayGroupnameShader, {"ipos"}, false},
        {&DemoAssets::stoneShader, {"matrix"}, true},
        {&DemoAssets::displayCameraShader, {"ipos"}, false},
        {&DemoAssets::kertsiGroundShader, {"matrix"}, true},
        {&DemoAssets::rocket1Shader, {"matrix"}, true},
        {&DemoAssets::rocketsSkyShader, {"matrix", "fog_color", "t"}, true},
        {&DemoAssets::geometryDistortShader, {"matrix"}, true},
        {&DemoAssets::debrisParticlesShader, {"matrix"}, false},
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
