#pragma once
#include <string>
#include <vector>

#include "EffectiveCamera.h"

// Three orthographic panels of a camera path (top: x right, z down; front: x right, y up;
// side: z right, y up) with a tick along the viewing direction at every few samples. The path
// runs from blue (start) to orange (end); the model's axes are grey lines through the origin.
bool writeTrackPlot(const std::string& path, const std::string& title,
                    const std::vector<EffectiveCamera>& samples);
