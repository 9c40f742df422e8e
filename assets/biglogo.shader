// The big logo of the canyon, three layers on one placement: the background plate ("t_add" 0),
// the upper part (1) and the lower part (2). The parts ride the beat apart and back; "fadeout"
// pulls them apart for good. Bar 22 (the drop) is the logo's own moment: on the beat before it
// the parts tear sideways, on the drop they slam shut, the logo lands bigger and lit golden-hot,
// and for its two bars it stays larger, hotter and redder than in the canyon, the sun burning
// with a white core and a corona that flares on every beat.
uniform vec2 screen;
uniform vec4 ipos;  // x, y: lower-left corner in screen fractions; z, w: size in NDC units
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;
uniform float t_add;
uniform float fadeout;

// Bars since the drop at bar 22 ("t_scene" counts from bar 8; a bar is 240/178 s).
float barsSinceDrop()
{
    return (t_scene - 18.876404) * (178.0 / 240.0);
}

// A value in [0, 1) that jumps with its argument (a whole number from 0 up), the same on every
// GPU: a hash of sin() would differ with each driver's sine.
float tearNoise(float n)
{
    uint h = uint(n) * 0x9E3779B9u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return float(h >> 8) * (1.0 / 16777216.0);
}

// The layout is drawn for a 16:9 screen. On any other, what it places shrinks about the centre
// along one axis (letterboxed on a taller screen, pillarboxed on a wider one), so its pictures
// keep their shape; at 16:9 nothing moves.
vec2 shapeKept()
{
    if (screen.x <= 0.0 || screen.y <= 0.0) return vec2(1.0);
    return min(vec2(screen.y * 16.0 / (screen.x * 9.0), screen.x * 9.0 / (screen.y * 16.0)), vec2(1.0));
}

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;
flat out float tear;
flat out float tearStep;

// How far right the plate's ends lean per unit up (on screen, in NDC).
const float kPlateSlant = 0.3;

void main()
{
    // Upper part up, lower part down, a hit on every beat that eases back.
    float side = t_add == 1.0 ? 1.0 : (t_add == 2.0 ? -1.0 : 0.0);
    float hit = (1.0 - saw) * (1.0 - saw);
    float swell = 1.0 + (t_add == 0.0 ? 0.015 * hit : 0.0);
    // The drop: the parts pull apart over the beat before it and slam shut on it; the logo lands
    // a size larger, overshooting a little.
    // (Every exp below takes a bar count from 0 on: bars before the drop it overflows, and
    // nothing times infinity is not nothing.)
    float bar = barsSinceDrop();
    float open = bar < 0.0 ? smoothstep(-0.25, 0.0, bar) : exp(-90.0 * max(bar, 0.0));
    float landed = step(0.0, bar);
    swell *= 1.0 + landed * (0.2 + 0.1 * exp(-10.0 * max(bar, 0.0)) + 0.02 * hit);
    // The parts' quads shrink to the band of the image their letters fill (rows 300 to 391 and
    // 392 to 496 of 700, columns 65 to 968 of 1024, with a margin for the shear): the rest is
    // clear, and blending it would cost as much as drawing it.
    // Over the canyon's fourteen bars the logo comes on from a little smaller, drifting slowly
    // about its place, and meets its full size and place on the drop: more of the gorge shows.
    swell *= 0.84 + 0.16 * smoothstep(-14.0, 0.0, bar);
    vec2 drift = vec2(0.03 * sin(0.31 * t_scene), 0.025 * sin(0.23 * t_scene + 1.3))
               * (1.0 - smoothstep(-2.0, 0.0, bar));
    // While the parts tear sideways (below) their quads widen, so the slices keep their letters.
    float wide = 0.04 * step(1e-3, open);
    float left = 0.05 - wide, right = 0.96 + wide;
    vec2 lo = t_add == 1.0 ? vec2(left, 0.43) : (t_add == 2.0 ? vec2(left, 0.28) : vec2(0.0));
    vec2 hi = t_add == 1.0 ? vec2(right, 0.585) : (t_add == 2.0 ? vec2(right, 0.453) : vec2(1.0));
    vec2 at = mix(lo, hi, corner);
    // Landed, it grows about a point near the top of the sun's disc rather than the middle, so
    // that the disc stays inside the frame and the title comes down towards the middle.
    vec2 anchor = vec2(0.5, 0.5 + 0.3 * landed);
    vec2 c = (at - anchor) * swell + anchor;
    vec2 ndc = -1.0 + 2.0 * ipos.xy + c * ipos.zw + drift;
    // The parts part along the plate's slanted ends, so their letters never stick out past them.
    float apart = side * (0.01 * hit + 0.004 * bounce);
    ndc += vec2(kPlateSlant * apart, apart + side * fadeout * 1.5);
    // Over the beat before the drop the logo tears along the seam between its parts: the upper
    // slides one way and the lower the other, in jumps eight times a beat, and further with each
    // jump; the letters stay whole and at their height, so it reads as one logo glitching.
    float jump = floor(max(bar + 0.25, 0.0) * 32.0);
    ndc.x += side * open * (0.025 + 0.05 * tearNoise(jump + 3.0 * t_add));
    tear = open;
    tearStep = jump;
    gl_Position = vec4(ndc * shapeKept(), -1.0, 1.0);
    uv = vec2(at.x, 1.0 - at.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
flat in float tear;
flat in float tearStep;
out vec4 fragColor;

// Bilinear lookup by hand, clamped to the edge. The driver's own filtered lookups are slow here:
// the images carry the maximum anisotropy but no smaller levels.
vec4 fetchLinear(sampler2D s, vec2 uv)
{
    ivec2 size = textureSize(s, 0);
    if (size.x == 0) return vec4(0.0);
    vec2 texel = clamp(uv * vec2(size) - 0.5, vec2(0.0), vec2(size - 1));
    vec2 f = fract(texel);
    ivec2 a = ivec2(texel);
    ivec2 b = min(a + 1, size - 1);
    vec4 c00 = texelFetch(s, a, 0);
    vec4 c10 = texelFetch(s, ivec2(b.x, a.y), 0);
    vec4 c01 = texelFetch(s, ivec2(a.x, b.y), 0);
    vec4 c11 = texelFetch(s, b, 0);
    return mix(mix(c00, c10, f.x), mix(c01, c11, f.x), f.y);
}

void main()
{
    float side = t_add == 1.0 ? 1.0 : (t_add == 2.0 ? -1.0 : 0.0);
    // On the bar's first beat the parts shear sideways by a few pixels for a moment, in
    // slices broad enough that the letters still read.
    float shear = (kick == 0.0 ? 1.0 : 0.0) * pow(1.0 - saw, 6.0) * 5.0 / max(screen.x, 1.0);
    vec2 at = uv + vec2(side * shear * sin(uv.y * 24.0 + 13.0 * beats), 0.0);
    // Tearing (see the vertex stage), the parts are cut into slices, three or four each, that
    // jump sideways on their own; the ones that jump furthest are tinted hot or cold.
    float slice = floor(uv.y * 24.0);
    float offset = tearNoise(slice + 7.0 * tearStep) - 0.5;
    at.x += tear * abs(side) * 0.03 * offset;
    vec4 c = fetchLinear(tex, at);

    // A light band glides across the parts every two bars; the plate only breathes. From the
    // drop on, the band sweeps once a beat, hot, and the parts burn brighter and redder.
    float bar = barsSinceDrop();
    float dropBars = step(0.0, bar);
    float land = dropBars * exp(-6.0 * max(bar, 0.0));  // golden-hot on landing, cooling over a beat
    float sweep = mix(fract(0.125 * beats + 0.13 * t_add), fract(beats), dropBars) * 2.0 - 0.4;
    float glint = exp(-pow((uv.x + 0.4 * uv.y - sweep) * 9.0, 2.0));
    float hit = (1.0 - saw) * (1.0 - saw);
    // The sun's snap on the beat, hardest on the bar's first, gone within a quarter of a beat.
    float snap = max(1.0 - 4.0 * saw, 0.0);
    snap *= snap * (kick == 0.0 ? 1.0 : 0.6);
    vec3 color = c.rgb * (1.0 + (0.25 + 0.5 * dropBars) * glint * abs(side))
               + vec3(0.08) * (1.0 - saw) * abs(side);
    vec3 hot = c.rgb * vec3(1.3, 1.05, 0.8) + vec3(0.1, 0.03, 0.0) * hit;
    color = mix(color, hot, dropBars * abs(side));
    color = mix(color, vec3(1.0, 0.84, 0.52), 0.6 * land * abs(side));
    color += tear * abs(side) * c.a * (offset > 0.0 ? vec3(0.25, 0.05, 0.0) : vec3(0.0, 0.08, 0.22))
           * smoothstep(0.2, 0.45, abs(offset));
    float alpha = c.a * (t_add == 0.0 ? 0.85 + 0.1 * sin(0.8 * t) : 1.0);
    if (t_add == 0.0) {
        // Behind the plate: a soft shadow that lifts the logo off the rock and the sky, fading out
        // before the placement's edges. Measured from the sun's centre, in image widths.
        vec2 p = (uv - vec2(0.5, 0.43)) * vec2(1.0, 700.0 / 1024.0);
        float r = length(p);
        float inside = smoothstep(0.0, 0.12, uv.x) * smoothstep(1.0, 0.88, uv.x)
                     * smoothstep(0.0, 0.15, uv.y) * smoothstep(1.0, 0.85, uv.y);
        float shadow = (0.45 - 0.15 * dropBars) * smoothstep(0.5, 0.2, r) * inside;
        // From the drop the sun's disc (about 0.18 of the image wide) burns white at its core
        // inside a corona ring, flaring on every beat; the rays are the sky's (the cliff program).
        float rays = dropBars * exp(-pow((r - 0.2) * (22.0 - 10.0 * snap), 2.0)) * (0.5 + 0.5 * hit + snap) * inside;
        vec3 behindColor = vec3(1.0, 0.78, 0.45) * rays / max(rays + shadow, 1e-4);
        float behind = clamp(rays + shadow, 0.0, 1.0);
        float total = alpha + behind * (1.0 - alpha);
        color = (color * alpha + behindColor * behind * (1.0 - alpha)) / max(total, 1e-4);
        alpha = total;
        float core = dropBars * smoothstep(0.19, 0.0, r) * alpha;
        color = mix(color, vec3(1.0, 0.93, 0.75), core * (0.2 + 0.5 * land + 0.15 * hit + 0.5 * snap));
        color = mix(color, color * vec3(1.15, 0.85, 0.7), 0.5 * dropBars * smoothstep(0.15, 0.2, r));
    }
    // The parts come in a little after the flash, one after the other.
    alpha *= clamp((t_scene - 0.4 * t_add) * 1.5, 0.0, 1.0);
    fragColor = vec4(color, alpha * (1.0 - fadeout));
}
#endif
