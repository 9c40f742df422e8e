#pragma once
#include "geometry/MeshData.h"

// The round temple of the finale, centred on the vertical axis: a stepped platform 82 units
// across with a well in its floor, sixteen columns with bases and capitals, an entablature, a
// flattened dome with a coffered inside and an oculus, six braziers round the well, and the rock
// the platform stands on with a crypt under the well. The floor is at y = -18, the oculus at about
// y = 30. Round it all, a sky dome of radius 105 facing inwards.
MeshData buildTempleMesh();

// Figures the scenes and the tests rely on.
constexpr float kTempleFloorY = -18.0f;
constexpr float kTempleWellRadius = 8.0f;
constexpr float kTempleOculusRadius = 8.2f;
constexpr float kTempleColumnRing = 27.0f;
constexpr int kTempleColumnCount = 16;
constexpr float kTempleSkyRadius = 105.0f;
