// The canyon ground by day and at dusk: sand in the low flats, moss on the gentle rises, cliff
// rock on the steep walls and the heights. Lit by a sun, white by day and low and red after bar
// 88, by the sky's light in the shade, and a little by the lamp at "lightpos" (it bobs deep in the
// canyon: its reach "lightradius" and "falloff" make the floor breathe with it); fogged into the
// sky with distance, the dusk's dimming read from "fog_color". "cliff_stripes" lays
// glowing bands over the rock, moving with "t_scene". No soot marks the launch pads: most stand
// empty, and a dark mark there read as a shadow with no rocket to cast it. The fog fades into the
// same sky the rocket program paints, so the horizon joins it.
uniform mat4 matrix;
uniform vec3 fog_color;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;
uniform float t_scene;  // seconds since the field's first bar

// The fog's green swings about a quarter of its red some five times in four seconds, which read
// as a flicker from shot to shot and washed the frame olive: a fifth of the swing is kept, so the
// colour grades.
vec3 steadyFog()
{
    return vec3(fog_color.r, mix(0.25 * fog_color.r, fog_color.g, 0.2), fog_color.b);
}

// In its last seconds the scene dims the sky to four tenths: its blue, 25 * dim * (1 - 2 * the
// red's 2.55 times) / 255, tells by how much.
float skyDim()
{
    vec3 f = steadyFog();
    float w = 1.0 - 5.1 * f.r;
    return w > 0.05 ? clamp(10.2 * f.b / w, 0.4, 1.0) : 1.0;
}

// The sky colour the scene clears with, recovered from the ground fog it sends: the two share
// their red, and their green and blue are fixed multiples of the same terms.

const vec3 kSunDir = vec3(0.5881, 0.4812, -0.7485);
// From bar 88, 21.57 s into the field, the sun sets: the same bearing, ten degrees up, so the
// dunes rake with light and long shadows and the second half opens on a new light.
const float kSunsetSeconds = 21.57;
const vec3 kLowSunDir = vec3(0.6082, 0.1758, -0.7740);
// The daylight sky before the sunset: its horizon, its overhead and the glare round the sun.
const vec3 kDayHorizon = vec3(0.74, 0.84, 0.95);
const vec3 kDayOverhead = vec3(0.09, 0.26, 0.64);
const vec3 kDayGlow = vec3(0.5, 0.45, 0.36);
const vec3 kDayDust = vec3(0.8, 0.66, 0.47);  // the blown sand seen below the horizon
// The dusk after it: a hot gold band low down under violet, which turn pink and deep indigo as
// the light goes; the violet light in the shade.
const vec3 kDuskHorizon = vec3(1.0, 0.64, 0.38);
const vec3 kDuskOverhead = vec3(0.24, 0.13, 0.36);
const vec3 kLateHorizon = vec3(0.92, 0.42, 0.42);
const vec3 kLateOverhead = vec3(0.13, 0.1, 0.34);
const vec3 kDuskGlow = vec3(0.5, 0.3, 0.14);
const vec3 kDaySun = vec3(1.12, 0.93, 0.66);
const vec3 kDuskSun = vec3(1.05, 0.55, 0.3);
// The sky's light in the shade, by day and at dusk.
const vec3 kDayShade = vec3(0.16, 0.2, 0.32);
const vec3 kDuskShade = vec3(0.22, 0.15, 0.4);

// Dusk's share of the sky: how far the light has gone, and at least half of it once the sun is
// low.
float duskShare()
{
    return max((1.0 - skyDim()) / 0.6, t_scene >= kSunsetSeconds ? 0.5 : 0.0);
}

vec3 sunDirection()
{
    return t_scene >= kSunsetSeconds ? kLowSunDir : kSunDir;
}

bool isDay()
{
    return t_scene < kSunsetSeconds;
}

// The dusty air thickens with the sunset.
float fogDensity()
{
    return isDay() ? 0.007 : 0.008;
}

// The sky along a direction, without its clouds, as the sky's own program has it (see rocket1).
vec3 skyGradient(vec3 d, float late)
{
    float up = clamp(d.y, 0.0, 1.0);
    // At dusk a narrow bright band that the rockets stand against, darkening as the light goes.
    float dark = clamp(2.0 * late - 1.0, 0.0, 1.0);
    vec3 horizon = mix(kDuskHorizon, kLateHorizon, dark);
    vec3 overhead = mix(kDuskOverhead, kLateOverhead, dark);
    vec3 sunGlow = kDuskGlow;
    float low = (1.0 - up) * (1.0 - up);
    float rise = 1.0 - low * low;
    // Before the sunset the field lies in hard daylight: a pale horizon under a deep blue, and a
    // white glare round the sun, so the rockets and the golden sand stand off it.
    if (isDay()) {
        horizon = kDayHorizon;
        overhead = kDayOverhead;
        sunGlow = kDayGlow;
        rise = sqrt(up);
    }
    vec3 c = mix(horizon, overhead, rise);
    float sun = max(dot(d, sunDirection()), 0.0);
    float sun2 = sun * sun;
    float glow = sun2 * sun2 * sun2 * 1.1 + sun2 * 0.4;
    c += sunGlow * glow * (1.0 - 0.6 * up);
    return c;
}

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec3 worldNormal;
out vec2 materials;  // how much sand and how much moss
out vec4 light;  // lamp, sky and sun together; how much of the sun falls here (a)
out float fog;
out vec2 drift;  // where the threads of blown sand lie across the wind, and how thick the gust is
// The sky seen past the vertex, what the fog fades into, and how far below the horizon it lies
// (a).
out vec4 skyBehind;

// The camera in model space: the point whose clip-space x, y and w all vanish.
vec3 cameraPosition()
{
    vec4 r0 = vec4(matrix[0][0], matrix[1][0], matrix[2][0], matrix[3][0]);
    vec4 r1 = vec4(matrix[0][1], matrix[1][1], matrix[2][1], matrix[3][1]);
    vec4 r3 = vec4(matrix[0][3], matrix[1][3], matrix[2][3], matrix[3][3]);
    return inverse(transpose(mat3(r0.xyz, r1.xyz, r3.xyz))) * -vec3(r0.w, r1.w, r3.w);
}

// The materials, the light and the fog change slowly over the floor: they are worked out per
// vertex, the images and the soot per pixel.
void main()
{
    worldPos = position.xyz;
    worldNormal = normal;
    vec3 eyePos = cameraPosition();
    vec3 n = normalize(normal);
    vec3 toEye = eyePos - worldPos;
    if (dot(n, toEye) < 0.0) n = -n;
    float up = clamp(n.y, 0.0, 1.0);
    float h = worldPos.y;

    // A slow variation, about -0.5 to 0.5, that breaks the borders between sand, moss and rock.
    vec2 q = position.xz;
    float patch_ = 0.25 * (sin(0.071 * q.x + 0.9 * sin(0.043 * q.y)) + sin(0.059 * q.y - 0.7 * sin(0.037 * q.x)));
    // Rock hung on the wall it belongs to, laid flat on the tops; sand and moss laid flat.
    float flat_ = smoothstep(0.72, 0.9, up + 0.2 * patch_);
    float low = 1.0 - smoothstep(-2.0, 6.0, h + 6.0 * patch_);
    float sandy = flat_ * max(low, smoothstep(0.95, 0.99, up) * 0.6);
    float mossy = smoothstep(0.55, 0.75, up + 0.3 * patch_) * (1.0 - sandy) *
                  smoothstep(22.0, 4.0, h);
    materials = vec2(sandy, mossy);

    // The lamp: wrapped so that it reaches the floor's flats too; the walls that face the deep
    // middle of the canyon catch it most.
    vec3 toLight = lightpos - worldPos;
    float lightDistance = length(toLight);
    vec3 l = toLight / max(lightDistance, 1e-4);
    float reach = pow(clamp(1.0 - lightDistance / lightradius, 0.0, 1.0), falloff);
    float wrap = 0.5 + 0.5 * dot(n, l);
    vec3 lamp = vec3(1.3, 0.9, 0.6) * pow(reach, 3.0) * (0.35 + wrap * wrap);
    // The lamp gives way to a low sun across the canyon, which falls off sharply past a dune's
    // crest, so the lit faces stand off the shaded ones; the shade takes the sky's light, blue by
    // day and violet at dusk, when the sun is lower, redder and rakes the dunes.
    float setting = t_scene >= kSunsetSeconds ? 1.0 : 0.0;
    float toSun = dot(n, sunDirection());
    float sunLit = isDay() ? smoothstep(0.2, 0.5, toSun) : smoothstep(-0.03, 0.35, toSun);
    vec3 sun = (isDay() ? kDaySun : kDuskSun) * sunLit;
    vec3 shade = isDay() ? kDayShade : kDuskShade * (1.4 - 0.8 * duskShare());
    light = vec4((isDay() ? 0.15 : 0.08) * lamp + shade * (0.6 + 0.4 * up) + sun, sunLit);

    // Sand blows over the floor in gusts that run down the wind, in threads that sway along it;
    // the wind rises with the sunset. Both change slowly over the floor: triangle waves, per
    // vertex.
    vec2 wind = vec2(q.y * 0.8 - q.x * 0.6, q.x * 0.8 + q.y * 0.6);
    float sway = abs(fract(0.06 * wind.x - 0.17 * t_scene) - 0.5);
    float front = abs(fract(0.05 * wind.x - (0.5 + 0.3 * setting) * t_scene + 0.1 * wind.y) - 0.5);
    drift = vec2(0.55 * wind.y + 0.7 * sway, smoothstep(0.15, 0.45, front) * (0.4 + 0.2 * setting));

    // Thicker low down, where the dust settles.
    float haze = 1.0 + 0.6 * smoothstep(0.0, -8.0, h);
    fog = 1.0 - exp(-length(toEye) * fogDensity() * haze);
    vec3 away = -toEye / max(length(toEye), 1e-4);
    skyBehind = vec4(skyGradient(away, duskShare()), smoothstep(0.0, -0.8, away.y));
    gl_Position = matrix * position;
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;
uniform sampler2D sand;
uniform float cliff_stripes;

in vec3 worldPos;
in vec3 worldNormal;
in vec2 materials;
in vec4 light;
in float fog;
in vec2 drift;
in vec4 skyBehind;
out vec4 fragColor;

// The images' mean colours: what their detail fades into where a texel is smaller than a pixel
// and the lookups would only alias.
const vec3 kSandMean = vec3(0.843, 0.675, 0.482);
const vec3 kRockMean = vec3(0.482, 0.369, 0.286);
const vec3 kMossMean = vec3(0.251, 0.325, 0.149);

// How much of an image's detail to keep where "texels" of it fall on one pixel.
float detailKept(float texels)
{
    return 1.0 - smoothstep(1.5, 5.0, texels);
}

// The sand, linear across its ripples and nearest along them: the ripples run along the image's
// rows and change little along them, so two texels do the work of four. Where a texel is smaller
// than a pixel ("texels" across the ripples on one pixel) the two are half a pixel apart instead,
// averaged: the grains of sand in the image would sparkle otherwise. (The driver's own
// filtered lookups crawl where a surface is seen edge-on: the images carry the maximum anisotropy
// but no smaller levels.)
vec3 fetchSand(vec2 uv, float texels)
{
    ivec2 size = textureSize(sand, 0);
    if (size.x == 0) return kSandMean;
    vec2 texel = uv * vec2(size) - vec2(0.0, 0.5);
    // Our images are powers of two on a side: the wrap is a mask (any other size still stays in
    // bounds).
    ivec2 mask = size - 1;
    ivec2 a = ivec2(floor(texel)) & mask;
    bool minified = texels >= 1.0;
    int b = (a.y + (minified ? int(0.5 * texels + 0.5) : 1)) & mask.y;
    vec3 c0 = texelFetch(sand, a, 0).rgb;
    vec3 c1 = texelFetch(sand, ivec2(a.x, b), 0).rgb;
    return mix(c0, c1, minified ? 0.5 : fract(texel.y));
}

// Texels on a pixel from their rates along the image's two axes: the shorter, up to a quarter of
// the longer (edge-on, the long side alone would wash the pattern out).
float footprint(vec2 rate)
{
    return max(min(rate.x, rate.y), 0.25 * max(rate.x, rate.y));
}

// One texel of the rock, whose pattern is coarse enough that filtering is not
// missed. Where more than three texels fall on a pixel the image is read four times larger
// instead, so that neighbouring pixels read neighbouring texels (scattered reads are most of this
// program's cost) and the pattern stays without aliasing; the detail dips to the mean colour at
// the switch, and fades into it far away.
vec3 fetchCoarse(sampler2D s, vec2 uv, float texels, vec3 mean)
{
    ivec2 size = textureSize(s, 0);
    if (size.x == 0) return mean;
    bool far_ = texels >= 3.0;
    float detail = far_ ? smoothstep(3.0, 4.0, texels) * (1.0 - smoothstep(10.0, 24.0, texels))
                        : 1.0 - smoothstep(2.0, 3.0, texels);
    // No detail left: every such pixel reads the same texel.
    vec2 at = (far_ ? 0.25 * uv + 0.37 : uv) * step(1e-3, detail);
    return mix(mean, texelFetch(s, ivec2(floor(at * vec2(size))) & (size - 1), 0).rgb, detail);
}

void main()
{
    vec3 n = normalize(worldNormal);
    float up = abs(n.y);
    float sandy = materials.x, mossy = materials.y;

    // Every image is read on every pixel (the GL runs both sides of a branch anyway): one texel
    // of rock, two of sand. How many texels fall on a pixel decides how much of their
    // detail shows.
    vec3 p = worldPos / 14.0;
    vec2 rockUv = up > 0.75 ? p.xz : abs(n.x) > abs(n.z) ? vec2(p.z, -p.y) : vec2(p.x, -p.y);
    vec2 rockRate = fwidth(rockUv) * 1024.0;
    vec3 rock = fetchCoarse(tex, rockUv, footprint(rockRate), kRockMean);
    vec2 flatRate = fwidth(p.xz) * 1024.0;
    // The moss takes its grain from the rock's texel, one image lookup fewer on every pixel.
    float grain = dot(rock, vec3(0.3, 0.59, 0.11)) / 0.3917;  // about 1 on average
    vec3 mossColor = kMossMean * (1.8 * grain - 0.8);
    // The ripples change along z: their spacing (some 46 texels, a dark line of 10 in each) is what
    // aliases first.
    float sandRate = 0.9 * flatRate.y;
    float sandDetail = detailKept(sandRate / 4.0);
    // On the sun's lit faces the ripples' shaded lines deepen.
    vec3 sandColor = mix(kSandMean, fetchSand(p.xz * 0.9 * step(1e-3, sandDetail), sandRate),
                         sandDetail * (1.0 + 0.8 * light.a));
    // The moss dry and dusty, most of the way to the sand's hue: a green patch read as an olive
    // smear against the warm sand.
    float mossLight = dot(mossColor, vec3(0.3, 0.59, 0.11));
    vec3 dryMoss = mix(mossColor * vec3(0.85, 0.95, 0.7), mossLight * vec3(1.25, 1.0, 0.65), 0.6);
    vec3 albedo = mix(rock * vec3(0.95, 0.85, 0.8), dryMoss, mossy);
    // By day the rock and the moss on the rises are one sandstone, a little redder than the sand,
    // carrying a softened grain of the rock: olive moss and dark brown rock read as mud among the
    // golden dunes.
    albedo = isDay() ? vec3(0.82, 0.58, 0.38) * (0.72 + 0.28 * grain) : albedo;
    albedo = mix(albedo, sandColor, sandy);
    // Sand blowing over the sand: threads along the wind, only close by, where one is several
    // pixels wide.
    float threads = 1.0 - smoothstep(0.04, 0.16, abs(fract(drift.x) - 0.5));
    float blown = threads * drift.y * sandy * (1.0 - smoothstep(0.08, 0.2, flatRate.y * (14.0 / 1024.0)));
    albedo = mix(albedo, vec3(1.3, 1.08, 0.8), blown);

    vec3 color = albedo * light.rgb;

    if (cliff_stripes > 0.0) {
        float band = fract(worldPos.x * 0.02 - 0.5 * t_scene);
        color += vec3(1.0, 0.6, 0.3) * cliff_stripes * smoothstep(0.95, 1.0, band) * (1.0 - up);
    }
    color = mix(color, skyBehind.rgb, fog);
    // A camera skimming a dune passes through it: the sand within a few units of the eye fades
    // into the haze the sky shows below the horizon (golden blown sand by day, dusky after),
    // which is what the eye sees once the near plane cuts the dune away, so the crossing does not
    // flip between magnified sand and haze.
    float below = skyBehind.a;
    vec3 under = isDay() ? mix(skyBehind.rgb, kDayDust, min(2.5 * below, 1.0)) : skyBehind.rgb * (1.0 - 0.45 * below);
    float nearHaze = 1.0 - smoothstep(1.0, 6.0, 1.0 / gl_FragCoord.w);
    fragColor = vec4(mix(color, under, nearHaze), 1.0);
}
#endif
