#pragma once

// The cave, in the cave mesh's own coordinates (+z up, a shaft along z). Its camera travels
// along the z axis from about z = -120 to z = +90, 9 to 15 units off the axis, looking at the
// origin, where the scene's light is. The field is positive in the air and negative in the rock, so
// its gradient (the generated normal) points out of the rock towards the camera and the light.
float caveField(float x, float y, float z);

// The generator's grid is centred on the origin; the cave is shifted along z to fit it.
constexpr float kCaveGridShiftZ = -14.0f;
constexpr float kCaveGridExtent = 128.0f;
// Cells of about 1.8 units. A finer grid shows no more of the rock, but its smaller triangles
// cost far more to fill: the rasterizer shades every partly covered block along their edges.
constexpr int kCaveGridSize = 140;
// caveField at (x, y, z + kCaveGridShiftZ): what the generator samples.
float caveGridField(float x, float y, float z);
