#pragma once

#include <functional>

#include "ColorRamp.h"
#include "Image.h"
#include "Relief.h"

// Text drawn large and measured: coverage plus a signed distance to its outline, from which
// bevels, outlines, shadows and glows are cut.
struct Lettering {
    Plane coverage;  // 0..1
    Plane distance;  // pixels, negative inside

    float alphaAt(int x, int y, float grow = 0.0f)
        const;  // antialiased coverage of the outline grown by `grow` px
};

// `draw` paints text into a plane `factor` times the output size (it receives that factor to
// scale its coordinates); the outline is measured there and brought back to output size.
Lettering makeLettering(int width, int height, int factor,
                        const std::function<void(Plane&, float)>& draw);

// Rounded bevel: 0 on the outline rising to 1 at `width` pixels inside.
Plane bevelHeight(const Lettering& letters, float width);

// Soft halo outside the outline, 1 on it, fading over about `radius` pixels.
float glowAt(float distance, float radius);

// Polished metal: a vertical colour gradient (t = 0 top, 1 bottom) reflected by the bevel's
// normal, with a sharp highlight.
Rgba metal(const ColorRamp& ramp, float t, Vec3 normal, Vec3 light);
