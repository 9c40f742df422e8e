#pragma once

class ShaderProgram;
struct SceneClock;

// The beat-uniform block most scene programs receive, set on `program` (which must be in use):
// "t" = seconds, "beats", "kick" = beat in bar, "bounce" = beat sine, "saw" = beat fraction,
// "t_scene" = the scene's own time.
void setBeatUniforms(const ShaderProgram& program, const SceneClock& clock, float sceneTime);
// The same block without "t_scene", for the passes that set it elsewhere.
void setBeatUniformsWithoutSceneTime(const ShaderProgram& program, const SceneClock& clock);
