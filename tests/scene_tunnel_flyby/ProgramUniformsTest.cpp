// Every uniform scenes 3 and 4 set must reach their programs: one the linker dropped gets
// location -1 and the scene's value is silently lost (the beat, the fade, the bands' parting).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl/ShaderProgram.h"
#include "support/SceneTestAssets.h"

TEST(TunnelFlybyProgramsTest, TakeEveryUniformTheirScenesSet) {
    DemoAssets& a = SceneTestAssets::get();
    const std::vector<std::string> beat = {"t", "beats", "kick", "bounce", "saw", "t_scene"};
    const struct {
        ShaderProgram* program;
        std::vector<std::string> uniforms;
    } programs[] = {
        {a.asteroidShader.get(),
         {"matrix", "lightpos", "lightradius", "falloff", "fog_color", "fog_falloff", "fog_scale",
          "distort", "screen", "tex", "moss"}},
        {a.cliffTunnelShader.get(),
         {"matrix", "fog_color", "fog_falloff", "fog_scale", "distort", "tex"}},
        {a.displayShader.get(), {"alpha", "ipos", "screen", "tex"}},
        {a.displayGreetBgShader.get(), {"ipos", "fadeout", "tex"}},
        {a.displayAttentionShader.get(), {"ipos", "fadeout", "scroll_direction", "tex"}},
        {a.displayGroupnameShader.get(), {"ipos", "fadeout", "screen", "tex"}},
    };
    for (const auto& p : programs) {
        std::vector<std::string> names = p.uniforms;
        names.insert(names.end(), beat.begin(), beat.end());
        for (const std::string& name : names)
            EXPECT_NE(p.program->uniformLocation(name), -1) << p.program->path << ": " << name;
    }
}
