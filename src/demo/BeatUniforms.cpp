#include "demo/BeatUniforms.h"

#include "demo/SceneClock.h"
#include "gl/ShaderProgram.h"

void setBeatUniformsWithoutSceneTime(const ShaderProgram& program, const SceneClock& clock) {
    program.setFloat("t", clock.seconds);
    program.setFloat("beats", clock.beats);
    program.setFloat("kick", clock.beatInBar);
    program.setFloat("bounce", clock.beatSine);
    program.setFloat("saw", clock.beatFraction);
}

void setBeatUniforms(const ShaderProgram& program, const SceneClock& clock, float sceneTime) {
    setBeatUniformsWithoutSceneTime(program, clock);
    program.setFloat("t_scene", sceneTime);
}
