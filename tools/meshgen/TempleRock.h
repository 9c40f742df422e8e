#pragma once

// The rock the temple's platform stands on: a rough inverted cone under the lowest step, with a
// crypt under the well in the floor, round the point where the sinking light comes to rest
// (y = -28) and where the closing camera starts its rise. Positive in the air, so generated
// normals face out of the rock.
float templeRockField(float x, float y, float z);

// Generator grid: its top layer ends at y = -25, inside the lowest step, so the rock has no top
// face of its own.
constexpr float kTempleRockExtent = 50.0f;
constexpr int kTempleRockGridSize = 56;
float templeRockGridOffsetY();
// templeRockField at (x, y + templeRockGridOffsetY(), z).
float templeRockGridField(float x, float y, float z);
