// Rockets built from the thin rod (an open tube of radius 0.1 along y, -1.5 to 1.5): each draw bends
// it into one "piece" of the rocket in slot "id" (6 down to -43): 0 the body with its nose, 1 to 3
// the fins, 4 the patch of ground under it (shadow, the flame's glow and the dust it raises), 5 the
// exhaust flame. Slots 0 and 1 hold no rocket (the sky behind everything is a program of its own,
// whose colours the haze here fades into). The other slots stand in five staggered rows on the
// canyon floor around the origin. Every half beat ("beat") moves the pattern one slot on: a rocket rises out of
// the sand on its pad in a flash, lifts off the next half beat and climbs out of sight, so waves of
// launches roll along the rows with the music.
uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;
uniform float beat;
uniform float id;
uniform float piece;
uniform vec3 fog_color;

// The fog's green swings about a quarter of its red some five times in four seconds, which read
// as a flicker from shot to shot and washed the frame olive: a fifth of the swing is kept, so the
// colour grades.
vec3 steadyFog()
{
    return vec3(fog_color.r, mix(0.25 * fog_color.r, fog_color.g, 0.2), fog_color.b);
}

// The sky colour the scene clears with, recovered from the ground fog it sends: the two share
// their red, and their green and blue are fixed multiples of the same terms.
// In its last seconds the scene dims the sky to four tenths: its blue, 25 * dim * (1 - 2 * the
// red's 2.55 times) / 255, tells by how much.
float skyDim()
{
    vec3 f = steadyFog();
    float w = 1.0 - 5.1 * f.r;
    return w > 0.05 ? clamp(10.2 * f.b / w, 0.4, 1.0) : 1.0;
}

// A flare on every bar's first beat, gone within a quarter of the beat: the flames flare up,
// lengthen and light the sand round the pads and the hulls.
float downbeat()
{
    return kick == 0.0 ? exp(-12.0 * saw) : 0.0;
}

const float kScale = 1.5;  // sizes the whole rocket
const vec3 kSunDir = vec3(0.5881, 0.4812, -0.7485);  // the low sun the ground is lit by
// From bar 88, 21.57 s into the field, the sun sets: the same bearing, ten degrees up, redder.
const float kSunsetSeconds = 21.57;
const vec3 kLowSunDir = vec3(0.6082, 0.1758, -0.7740);
// The daylight sky before the sunset: its horizon, its overhead and the glare round the sun.
const vec3 kDayHorizon = vec3(0.74, 0.84, 0.95);
const vec3 kDayOverhead = vec3(0.09, 0.26, 0.64);
const vec3 kDayGlow = vec3(0.5, 0.45, 0.36);
// The dusk after it: a hot gold band low down under violet, which turn pink and deep indigo as
// the light goes; the violet light in the shade.
const vec3 kDuskHorizon = vec3(1.0, 0.64, 0.38);
const vec3 kDuskOverhead = vec3(0.24, 0.13, 0.36);
const vec3 kLateHorizon = vec3(0.92, 0.42, 0.42);
const vec3 kLateOverhead = vec3(0.13, 0.1, 0.34);
const vec3 kDuskGlow = vec3(0.5, 0.3, 0.14);
// The sky's light in the shade, by day and at dusk.
const vec3 kDayShade = vec3(0.16, 0.2, 0.32);
const vec3 kDuskShade = vec3(0.22, 0.15, 0.4);

vec3 sunDirection()
{
    return t_scene >= kSunsetSeconds ? kLowSunDir : kSunDir;
}

bool isDay()
{
    return t_scene < kSunsetSeconds;
}

// The dusty air thickens with the sunset (as the ground's fog).
float fogDensity()
{
    return isDay() ? 0.007 : 0.008;
}
const vec2 kShadowDir = vec2(-0.6178, 0.7863);       // away from the sun along the ground

// The sky's light in the shade and how far the light has gone (0 in daylight, 1 at the dimmest),
// the same for every pixel: worked out once per vertex and handed on flat.
vec4 skyTone()
{
    // At least half way to dusk once the sun is low.
    float late = max((1.0 - skyDim()) / 0.6, t_scene >= kSunsetSeconds ? 0.5 : 0.0);
    return vec4(isDay() ? kDayShade : kDuskShade * (1.4 - 0.8 * late), late);
}

// The sky along a direction, without its clouds, written as the sky's own program has it (a
// shader file cannot include another): the far rockets and the ground's fog fade into the very
// colours the sky shows behind them.
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

// Integer hash of a lattice point (the same bits on every driver, unlike hashes built on sin).
float unitHash(uvec2 v)
{
    uint h = v.x * 0x8da6b343u ^ v.y * 0xd8163841u;
    h ^= h >> 13u;
    h *= 0x2c1b3c6du;
    h ^= h >> 16u;
    return float(h >> 8u) * (1.0 / 16777216.0);
}

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 localPos;
out vec3 localNormal;
out vec3 worldPos;
out float flame;
out vec3 flameShape;  // the flame's swell round the nozzle, its tail's fade and its knots
out float paint;
out vec2 shade;  // the body's occlusion low down and its flame's light from the foot
flat out float ground;
flat out vec3 eyePos;
flat out float fade;
flat out float glow;
flat out float burnOut;
flat out float heightOut;
// Each rocket's own paint: its trim colour; its skin (rgb) and how much of it is bare metal;
// where its band is, how wide, whether a thin second band and roll marks go with it; the strokes
// of its two digits (seven bits each, the tens low); which rocket it is.
flat out vec3 trim;
flat out vec4 skin;
flat out vec4 livery;
flat out int strokes;
flat out float rocket;
// The rocket's axis in the world, a point on it and its direction: the flame's depth along the
// eye's ray comes from how near the ray passes it.
flat out vec3 axisPoint;
flat out vec3 axisDir;
flat out vec4 tone;
out vec4 haze;  // the sky behind the vertex and how much of it the distance lays over it

// The rocket's own measures, in rod-free units.
const float kRadius = 0.55;
const float kBodyBottom = 1.0;
const float kBodyTop = 5.0;
const float kNoseTop = 6.7;
const float kNoseFrom = 0.72;  // share of the rod that makes the body; the rest is the nose
const float kPatch = 4.6;      // radius of the ground patch, world units
const float kTrail = 24.0;     // the longest plume below the flame, world units

// The camera in model space: the point whose clip-space x, y and w all vanish.
vec3 cameraPosition()
{
    vec4 r0 = vec4(matrix[0][0], matrix[1][0], matrix[2][0], matrix[3][0]);
    vec4 r1 = vec4(matrix[0][1], matrix[1][1], matrix[2][1], matrix[3][1]);
    vec4 r3 = vec4(matrix[0][3], matrix[1][3], matrix[2][3], matrix[3][3]);
    return inverse(transpose(mat3(r0.xyz, r1.xyz, r3.xyz))) * -vec3(r0.w, r1.w, r3.w);
}

// The canyon floor's height under (x, z): where the field of the ground is zero.
float groundHeight(vec2 q)
{
    float g = sin(0.14 * q.x) + sin(0.11 * q.y);
    float waves = sin(0.3 * q.x) + sin(0.2 * q.y);
    float meander = sin(0.0564 * q.x) + abs(sin(0.0765 * q.y));
    float swell = sin(0.0233 * q.x) + sin(0.0123 * q.y);
    float w = (swell + 2.1) * (meander + 1.5) * (g + 1.5);
    return length(q) * w / 100.0 - waves - g - 5.0;
}

// Where slot s stands: rows along x, the odd rows shifted half a place.
vec2 padPosition(float s)
{
    float column = mod(s, 10.0);
    float row = floor(s / 10.0);
    float stagger = mod(row, 2.0) == 0.0 ? -1.75 : 1.75;
    return vec2((column - 4.5) * 9.0 + stagger * 1.3, (row - 2.0) * 10.0 + 5.0);
}

// The same fog as the ground's, into the sky behind; smooth enough to work out per vertex.
vec4 hazeAt(vec3 w)
{
    vec3 toEye = eyePos - w;
    float distance_ = length(toEye);
    return vec4(skyGradient(-toEye / max(distance_, 1e-4), tone.a), 1.0 - exp(-distance_ * fogDensity()));
}

void main()
{
    vec3 p = position.xyz;
    float v = clamp((p.y + 1.5) / 3.0, 0.0, 1.0);  // 0 at the rod's foot, 1 at its head
    vec2 d = length(p.xz) > 0.0 ? normalize(p.xz) : vec2(1.0, 0.0);
    float s = 6.0 - id;
    eyePos = cameraPosition();
    tone = skyTone();
    flame = 0.0;
    flameShape = vec3(0.0);
    paint = 0.0;
    shade = vec2(1.0, 0.0);
    ground = 0.0;
    burnOut = 0.0;
    heightOut = 0.0;
    fade = 1.0;
    glow = 0.0;
    axisPoint = vec3(0.0);
    axisDir = vec3(0.0, 1.0, 0.0);

    // The slot's place in the launch cycle (the pattern's phase, 0 to 5; 1 and 5 are never
    // drawn) and how far into the current half beat we are. A rocket keeps its pad for its whole
    // flight: a slot in phase 0 shows the newcomer on its own pad, and in phases 2 to 4 the
    // rocket of the pad before it climbing (a slot's own rocket would have been left out in
    // phase 1 and come back from one frame to the next). The pads at the ends of the rows of
    // slots that one of the two halves would miss stay empty.
    float phase = mod(beat + s, 6.0);
    float half_ = fract(2.0 * beats);
    float padNo = phase == 0.0 ? s : s - 1.0;
    if (padNo < 2.0 || (phase == 0.0 && s > 48.5)) {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        return;
    }
    float climb = phase >= 2.0 ? phase - 2.0 + half_ : 0.0;  // 0 to 3 half beats of flight
    float lift = 45.0 * climb * climb / 9.0;
    float onPad = phase == 0.0 ? 1.0 : 0.0;
    fade = 1.0 - smoothstep(2.4, 3.0, climb);
    // A newcomer rises out of the sand in the flash of its ignition, nose first, and stands on
    // its pad within the half beat; the floor hides what is still below it.
    float sink = onPad * 10.5 * (1.0 - smoothstep(0.0, 0.8, half_));
    glow = onPad * (1.0 - half_);
    float burn = onPad > 0.0 ? 0.6 + 0.9 * (1.0 - half_) : 0.5 + 0.35 * climb;
    burnOut = burn;
    heightOut = lift + sink;  // a rocket still in the sand casts no shadow
    rocket = padNo;
    uint which = uint(padNo + 64.0);
    float pick = unitHash(uvec2(which, 1u));
    float pick2 = unitHash(uvec2(which, 2u));
    float pick3 = unitHash(uvec2(which, 3u));
    float pick4 = unitHash(uvec2(which, 4u));
    trim = pick < 0.25 ? vec3(0.72, 0.1, 0.07)
         : pick < 0.45 ? vec3(0.88, 0.45, 0.08)
         : pick < 0.6  ? vec3(0.2, 0.21, 0.25)
         : pick < 0.8  ? vec3(0.85, 0.64, 0.14)
                       : vec3(0.2, 0.3, 0.45);
    // A third bare metal, the rest white or cream enamel, some of those with a white nose.
    skin = pick2 < 0.35 ? vec4(0.52, 0.58, 0.66, 0.6)
         : pick2 < 0.75 ? vec4(0.86, 0.85, 0.81, 0.12) : vec4(0.84, 0.76, 0.6, 0.12);
    livery = vec4(3.7 + 0.8 * pick3, 0.1 + 0.12 * pick4, step(0.5, pick4), step(pick3, 0.5));
    // Seven-segment strokes: bit 0 the top, then round the top right, the bottom right, the
    // bottom, the bottom left and the top left; bit 6 the middle.
    const int kStrokes[10] = int[10](0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F);
    int number = int(mod(padNo * 37.0, 90.0)) + 10;
    strokes = kStrokes[number / 10] | kStrokes[number - number / 10 * 10] << 7;

    vec2 pad = padPosition(padNo);
    float floorY = groundHeight(pad);
    vec3 q;
    vec3 n;
    if (piece == 0.0) {
        // The body, a tube, and above it the nose, half an ellipsoid; "paint" is the height up
        // the body, 2 on the nose.
        if (v < kNoseFrom) {
            float b = v / kNoseFrom;
            q = vec3(d.x * kRadius, mix(kBodyBottom, kBodyTop, b), d.y * kRadius);
            n = vec3(d.x, 0.0, d.y);
            paint = b;
        } else {
            float u = (v - kNoseFrom) / (1.0 - kNoseFrom);
            float c = sqrt(max(1.0 - u * u, 0.0));
            q = vec3(d.x * kRadius * c, mix(kBodyTop, kNoseTop, u), d.y * kRadius * c);
            n = vec3(d.x * c / kRadius, u / (kNoseTop - kBodyTop), d.y * c / kRadius);
            paint = 2.0;
        }
    } else if (piece < 4.0) {
        // A fin: the rod flattened into a swept plate standing out from the body, three a
        // third of a turn apart.
        vec2 radial = piece == 1.0 ? vec2(1.0, 0.0)
                    : piece == 2.0 ? vec2(-0.5, 0.8660254) : vec2(-0.5, -0.8660254);
        vec2 across = vec2(-radial.y, radial.x);
        float span = mix(1.0, 0.2, v);
        float out_ = kRadius * 0.9 + (d.x * 0.5 + 0.5) * span;
        vec2 xz = radial * out_ + across * d.y * 0.06;
        q = vec3(xz.x, mix(0.2, 2.2, v) - 0.25 * (d.x * 0.5 + 0.5), xz.y);
        n = normalize(vec3(across.x * d.y + radial.x * 0.2 * d.x, 0.1,
                           across.y * d.y + radial.y * 0.2 * d.x));
        paint = 3.0 + 0.9 * (d.x * 0.5 + 0.5);  // 3 at the root to 3.9 at the tip
    } else if (piece == 4.0) {
        // The ground patch: the rod opened into a disc on the floor round the pad, each ring of
        // it at its own radius, following the ground; the dust it carries billows up a little
        // while the rocket lights and leaves.
        // Once the rocket has climbed its shadow is gone and only the flame's light round the pad
        // is left: the disc shrinks onto the pad, so it covers no pixels that show nothing.
        float lifted = clamp(lift / 12.0, 0.0, 1.0);
        vec2 at = pad + kShadowDir * (1.6 * (1.0 - lifted)) + d * (v * mix(kPatch, 3.4, lifted));
        float dust = glow + (phase >= 2.0 ? max(1.0 - climb, 0.0) : 0.0);
        float fromPad = length(at - pad) / 3.0;
        float billow = dust * 0.9 * exp(-4.0 * (fromPad - 0.6) * (fromPad - 0.6));
        vec3 w = vec3(at.x, groundHeight(at) + 0.12 + billow, at.y);
        // Drawn a little towards the eye, so the floor's own triangles do not cut into it.
        w += normalize(eyePos - w) * 0.35;
        localPos = vec3(at - pad, v);
        localNormal = vec3(0.0, 1.0, 0.0);
        worldPos = w;
        ground = dust;
        haze = hazeAt(w);
        // Nothing left to show once the rocket is high: no draw.
        gl_Position = lift < 20.0 ? matrix * vec4(w, 1.0) : vec4(2.0, 2.0, 2.0, 1.0);
        return;
    } else {
        // The exhaust: a flame hanging from the nozzle, longer the harder the rocket burns. Its
        // sheath is wider than the core it holds and swells round the nozzle into a glow; its
        // width wavers in slow knots running down it, so it reads as burning gas, not a tube.
        // Flickering a few times a second, smoothly: a new length every frame made the far
        // flames blink.
        float flameLength = (1.4 + 2.6 * burn) * (1.0 + 0.1 * sin(31.0 * t + 2.3 * padNo) + 0.7 * downbeat());
        // Climbing, it trails a glowing plume as long as the climb (up to kTrail), thinning and
        // fading towards the pad, which draws the climb. The plume takes the lower half of the
        // rod's rings and the flame keeps the upper half.
        float trail = min(lift, kTrail) / kScale;
        float split = lift > 0.0 ? 0.5 : 0.0;
        float vf = clamp((v - split) / (1.0 - split), 0.0, 1.0);  // the flame's own: 0 its tail
        float smoke = split > 0.0 ? clamp(1.0 - v / split, 0.0, 1.0) : 0.0;  // 1 at the plume's end
        float wave = sin(17.0 * vf + 30.0 * t + 1.7 * padNo);
        float knots = 1.0 + 0.14 * wave * (1.0 - vf);
        float r = (0.58 * sqrt(vf) + 0.24 * smoothstep(0.7, 1.0, vf)) * knots *
                  (1.0 + 0.15 * bounce + 0.2 * downbeat());
        r = max(r, split * (0.22 + 0.3 * smoke));
        q = vec3(d.x * r, kBodyBottom + 0.1 - flameLength * (1.0 - vf) - trail * smoke, d.y * r);
        n = vec3(d.x, 0.3, d.y);
        flame = vf;
        paint = smoke;
        // Knots of brighter gas run down it, smooth enough along the rod to work out per vertex;
        // they would only shimmer on a far flame a few pixels long.
        float far_ = smoothstep(20.0, 50.0, length(eyePos - vec3(pad.x, floorY + lift, pad.y)));
        float run = 0.5 + (0.5 - 0.5 * far_) * wave;
        float plume = split * (1.0 - smoke) * (1.0 - smoke) * (isDay() ? 1.6 : 1.0);  // smoke by day
        flameShape = vec3(smoothstep(0.7, 1.0, vf), max(smoothstep(0.0, 0.65, vf + 0.2 * (run - 0.5)), plume), run);
    }
    // Every rocket stands turned its own way and rolls as it climbs; its paint turns with it
    // (localPos keeps the rocket's own frame, the normal goes with the world).
    float heading = 6.2831853 * fract(padNo * 0.618034) + 1.5 * climb * climb;
    mat2 turn = mat2(cos(heading), sin(heading), -sin(heading), cos(heading));
    localPos = q;
    q.xz = turn * q.xz;
    n.xz = turn * n.xz;
    // Climbing, each leans its own way, up to 0.15 radians about the body's middle, so the
    // flights are not parallel and the light slides along the hulls.
    float lean = 0.05 * climb;
    float towards = 6.2831853 * fract(padNo * 0.3819660);
    vec2 away = vec2(cos(towards), sin(towards));
    vec2 tilt = vec2(cos(lean), sin(lean));
    vec2 qa = vec2(dot(q.xz, away), q.y - 3.85);
    vec2 na = vec2(dot(n.xz, away), n.y);
    q.xz += away * (qa.x * tilt.x + qa.y * tilt.y - qa.x);
    q.y = 3.85 - qa.x * tilt.y + qa.y * tilt.x;
    n.xz += away * (na.x * tilt.x + na.y * tilt.y - na.x);
    n.y = na.y * tilt.x - na.x * tilt.y;
    // A rocket on its pad shakes as it lights.
    vec2 shake = onPad * 0.05 * sin(vec2(47.0, 41.0) * t + vec2(1.3, 2.9) * padNo);
    q.xz += shake;

    vec3 base = vec3(pad.x, floorY + lift - sink, pad.y);
    vec3 world = base + kScale * q;
    axisPoint = base + kScale * vec3(shake.x, 3.85, shake.y);
    axisDir = vec3(away.x * tilt.y, tilt.x, away.y * tilt.y);
    // Smooth along the rod, so worked out per vertex: dark low down where the floor and the
    // other fins crowd in; its own flame and the pad's flash light it from the foot.
    shade = vec2(0.55 + 0.45 * smoothstep(0.0, 4.0, kScale * max(q.y, 0.0) + lift),
                 (glow * 1.5 + 0.35 * burn + 0.9 * downbeat()) * exp(-max(q.y, 0.0) * 0.6));
    localNormal = n;
    worldPos = world;
    haze = hazeAt(world);
    gl_Position = matrix * vec4(world, 1.0);
}
#endif

#ifdef fragmentcompile
in vec3 localPos;
in vec3 localNormal;
in vec3 worldPos;
in float flame;
in vec3 flameShape;
in float paint;
in vec2 shade;
flat in float ground;
flat in vec3 eyePos;
flat in float fade;
flat in float glow;
flat in float burnOut;
flat in float heightOut;
flat in vec3 trim;
flat in vec4 skin;
flat in vec4 livery;
flat in int strokes;
flat in float rocket;
flat in vec3 axisPoint;
flat in vec3 axisDir;
flat in vec4 tone;
in vec4 haze;
out vec4 fragColor;

// How much of a pixel at p the strokes of a stencilled digit (its seven stroke bits) cover: the
// digit's box 0 to 0.5 wide and 0 to 1 tall, strokes a seventh of its width each side of their
// lines; "fw" the pixel's size in the box's units.
float digitCover(int bits, vec2 p, float fw)
{
    float across = max(abs(p.x - 0.25) - 0.25, 0.0);
    float upper = max(abs(p.y - 0.75) - 0.25, 0.0);
    float lower = max(abs(p.y - 0.25) - 0.25, 0.0);
    float none = 1e3;
    float dist = (bits & 1) != 0 ? max(across, abs(p.y - 1.0)) : none;
    dist = min(dist, (bits & 2) != 0 ? max(abs(p.x - 0.5), upper) : none);
    dist = min(dist, (bits & 4) != 0 ? max(abs(p.x - 0.5), lower) : none);
    dist = min(dist, (bits & 8) != 0 ? max(across, abs(p.y)) : none);
    dist = min(dist, (bits & 16) != 0 ? max(abs(p.x), lower) : none);
    dist = min(dist, (bits & 32) != 0 ? max(abs(p.x), upper) : none);
    dist = min(dist, (bits & 64) != 0 ? max(across, abs(p.y - 0.5)) : none);
    return 1.0 - smoothstep(0.07 - fw, 0.07 + fw, dist);
}

void main()
{
    // Which piece this draw is comes from the draw's own uniforms, not from a varying: llvmpipe
    // skips a branch on uniforms wholesale, where it runs every branch on a varying for every
    // pixel (the sky, most of the screen, paid for the rocket's, the flame's and the patch's
    // shading as well).
    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    vec3 view = toEye / max(eyeDistance, 1e-4);
    float fog = haze.a;
    vec3 behind = haze.rgb;
    // What comes close to the lens (near plane at 1) thins out in the last two units before the
    // near plane cuts it, so a flame or a fin the camera passes through never shows as a
    // hard-edged sliver, and a rocket close by stays solid. 1 / w of the fragment is its depth
    // in front of the eye.
    float nearFade = smoothstep(1.3, 3.0, 1.0 / gl_FragCoord.w);

    if (piece == 4.0) {
        // Under the rocket: its shadow, shrinking and fading as it climbs; the flame's light
        // pooling on the sand; the dust it kicks up, lit from the sky and by the flame.
        // localPos.xy is the place relative to the pad, in world units; z the patch's own
        // radius (0 in the middle, 1 at its rim).
        vec2 rel = localPos.xy;
        float r = length(rel) / 3.0;
        float rim = 1.0 - smoothstep(0.75, 0.95, localPos.z);
        // The long shadow of the low sun: a capsule from the foot away from the sun. It widens,
        // softens and fades as the rocket leaves the ground and is gone before the rocket has
        // climbed its own height (a dark blob left under an empty pad read as dirt on the lens).
        float along = clamp(dot(rel, kShadowDir), 0.0, 5.0);
        float across = length(rel - kShadowDir * along);
        float up = smoothstep(0.0, 6.0, heightOut);
        float width = (0.95 - 0.06 * along) * (1.0 + 0.8 * up);
        float shadow = (1.0 - smoothstep(width * (0.6 - 0.5 * up), width * 1.3, across)) *
                       (1.0 - smoothstep(1.5, 5.0, along)) * (1.0 - up) * 0.55;
        float near = 1.0 - clamp(heightOut / 20.0, 0.0, 1.0);
        float soft = 1.0 - smoothstep(0.0, 1.0, r);
        // The flame's light reaches further than its dust, and flares with it.
        float flare = downbeat();
        float lit = 1.0 - smoothstep(0.0, 1.0, length(rel) / (3.2 + 0.8 * flare));
        float pool = lit * lit * near * burnOut * (0.5 + 0.5 * flare);
        float dust = 0.0;
        if (ground > 0.0) {
            // Lumps of dust rolling outwards: a few waves round and across the pad.
            float turn = atan(rel.y, rel.x);
            float grain = 0.5 + 0.25 * sin(5.0 * turn + 3.0 * r - 4.0 * burnOut) +
                          0.25 * sin(3.0 * turn - 7.0 * r + 2.0 * glow);
            dust = ground * soft * (0.45 + 0.55 * grain) *
                   smoothstep(0.15, 0.45, r + 0.15 * grain) * 0.7;
        }
        shadow *= rim;
        pool *= rim;
        dust *= rim;
        vec3 fire = vec3(1.0, 0.55, 0.2);
        // Sand-coloured in daylight.
        vec3 dustColor = (isDay() ? vec3(0.85, 0.72, 0.55) : tone.rgb * 1.2 + vec3(0.28, 0.2, 0.13)) +
                         fire * 0.35 * glow;
        float a = clamp(shadow + pool + dust, 0.0, 0.95);
        vec3 c = (shadow * vec3(0.03, 0.015, 0.01) + pool * mix(fire, vec3(1.0, 0.8, 0.5), lit * lit) * 1.3 + dust * dustColor) /
                 max(a, 1e-3);
        c = mix(c, behind, fog);
        // All of it goes and comes with the rocket.
        fragColor = vec4(min(c, vec3(1.0)), a * (1.0 - fog * 0.6) * nearFade * fade);
        return;
    }

    vec3 n = normalize(localNormal);
    if (piece == 5.0) {
        // The flame, seen through its sheath: how near the eye's ray passes the axis tells the
        // depth of gas along it (the sheath's few flat faces round would not give it: their
        // normals never turn edge-on at the outline, which showed hard). The flame proper, a
        // white-hot core at the nozzle, yellow, then orange and thin towards its edges and tail,
        // with knots running down it; round the nozzle, where the sheath swells, a soft
        // orange glow.
        vec3 across = cross(view, axisDir);
        float off = abs(dot(axisPoint - eyePos, across)) / max(length(across), 1e-4);
        float sheath = kScale * length(localPos.xz);
        float o = off / max(sheath, 1e-3);  // 0 on the axis, 1 at the outline
        float flare = downbeat();
        // The flame proper fills the sheath, less of it round the nozzle, where the sheath
        // swells into the glow; its gas is densest along the axis.
        float halo = flameShape.x;
        float inner = o / mix(1.0, 0.7, halo);
        float gas = max(1.0 - inner * inner, 0.0);
        float body = gas * sqrt(gas);
        float run = flameShape.z;
        float along = 1.0 - flame;  // 0 at the nozzle, 1 at the tail
        // Up close the exhaust shows its layers: a thin white-hot core out of the nozzle, a row
        // of shock diamonds pinching it (fixed to the nozzle, smaller down the flame), streaks
        // of burning gas running down the plume. Far off, a few pixels, they would only
        // shimmer: they fade to the plain flame.
        float near_ = 1.0 - smoothstep(25.0, 55.0, eyeDistance);
        float cell = abs(fract(along * 4.5) - 0.5) * 2.0;  // 1 at a diamond's waist, 0 mid-cell
        float width = (1.0 - along) * (0.12 + 0.3 * (1.0 - cell * cell));
        float diamond = (1.0 - smoothstep(0.45 * width, width, o)) * (1.0 - smoothstep(0.25, 0.75, along));
        float core = (1.0 - smoothstep(0.0, 0.35 * (1.0 - along) + 0.05, o)) * (1.0 - smoothstep(0.1, 0.55, along));
        float streak = 0.5 + 0.5 * sin(9.0 * o * (1.0 + along) + 14.0 * along - 25.0 * t + rocket);
        float layers = near_ * (diamond + 0.5 * core * cell);
        // A far flame, a few pixels, is mostly its white-hot core.
        // Close by, the plume round them burns yellow and orange, so the white core stands out.
        float heat = body * (0.35 + 0.65 * flame) * (0.8 + 0.35 * run) *
                         (1.0 - 0.4 * near_ - 0.3 * near_ * streak * along) *
                         (1.0 + 0.6 * flare + 0.3 * glow + 0.4 * smoothstep(20.0, 60.0, eyeDistance)) +
                     layers;
        // Brighter than what it is seen against, even at its thin edge, where an orange darker
        // than the sky would read as smoke; towards the tail the plume cools to a deep red.
        vec3 edgeColor = mix(vec3(1.0, 0.55, 0.2), vec3(0.85, 0.28, 0.1), near_ * along);
        vec3 hot = mix(vec3(1.0, 0.5, 0.16), vec3(1.0, 0.76, 0.28), smoothstep(0.15, 0.5, heat));
        hot = mix(hot, vec3(1.0, 0.97, 0.86), smoothstep(0.7, 1.0, heat));
        vec3 c = mix(edgeColor, hot, smoothstep(0.0, 0.3, body));
        // By day the plume ("paint", 0 at the flame's tail) is white smoke in the sun.
        if (isDay()) c = mix(c, vec3(0.97, 0.95, 0.92), smoothstep(0.0, 0.3, paint));
        c = mix(c, behind, fog * 0.4);
        float tail = flameShape.y;
        // The plume thins at its edge and tail into nothing; close by, the glow round the nozzle
        // is faint beside the core, not a ball of light.
        float alpha = max(smoothstep(0.0, 0.45, body) * tail * (0.6 + 0.4 * heat + 0.2 * flare) *
                              (1.0 - 0.3 * near_ * along),
                          halo * (1.0 - o * o) * (0.3 - 0.15 * near_ + 0.3 * flare));
        alpha = max(alpha, layers);
        // The swollen sheath's open top, round the nozzle, fades out rather than ending in a
        // hard ring.
        alpha *= 1.0 - smoothstep(0.85, 1.0, flame) * smoothstep(0.3, 0.55, o);
        fragColor = vec4(min(c, vec3(1.0)), min(alpha, 1.0) * fade * nearFade);
        return;
    }

    // Painted metal: every rocket its own trim colour, bands and number, its skin in rings of
    // riveted panels, soot from the nozzle up. The detail is made per pixel from the rocket's own
    // coordinates and fades where a pixel covers more of the hull than a seam or a rivet.
    vec3 fw3 = fwidth(localPos);
    float px = max(max(fw3.x, fw3.y), fw3.z);  // the rocket's units across one pixel
    float y = localPos.y;                      // 1 the nozzle, 5 the nose's foot, 6.7 its tip
    vec3 albedo = skin.rgb;
    float metal = skin.a;
    float soot = 0.0;
    float seam = 0.0;
    float rivet = 0.0;
    if (piece == 0.0) {
        float around = atan(localPos.z, localPos.x + 1e-6) * 0.15915494;  // turns, -0.5 to 0.5
        float radius = length(localPos.xz);
        float arc = 6.2831853 * radius;  // the hull's girth here
        // Rings of panels a unit tall, six round, every other ring turned half a panel.
        float ringAt = y - 1.0;
        float ring = floor(ringAt);
        float fromRing = abs(fract(ringAt + 0.5) - 0.5);
        float panelAt = around * 6.0 + 0.5 * mod(ring, 2.0);
        float fromPanel = abs(fract(panelAt + 0.5) - 0.5) * arc / 6.0;
        float detail = 1.0 - smoothstep(0.03, 0.09, px);
        seam = (1.0 - smoothstep(0.01, 0.01 + 1.5 * px, min(fromRing, fromPanel))) * detail;
        float rivetAround = (fract(around * 32.0) - 0.5) * arc / 32.0;
        rivet = (1.0 - smoothstep(0.016, 0.016 + px, length(vec2(rivetAround, fromRing - 0.07)))) *
                (1.0 - smoothstep(0.015, 0.04, px));
        // No two sheets quite alike.
        uvec2 sheet = uvec2(ivec2(int(ring) + 8, int(floor(panelAt)) + 8)) + uvec2(0u, uint(rocket) * 16u);
        albedo *= 0.95 + 0.08 * unitHash(sheet) * detail;
        if (paint < 1.5) {
            // The body: a band high up (two on some), roll marks low down on half of them, and
            // the rocket's number on one side.
            float band = 1.0 - smoothstep(livery.y - px, livery.y + px, abs(y - livery.x));
            band = max(band, livery.z * (1.0 - smoothstep(0.03 - px, 0.03 + px,
                                                          abs(y - livery.x + 0.3))));
            // The sign of sin(2 * angle round the body), without the angle.
            float quarter = smoothstep(-px, px, localPos.x * localPos.z / max(radius, 1e-3));
            float marks = livery.w * quarter *
                          (1.0 - smoothstep(0.38 - px, 0.38 + px, abs(y - 2.0)));
            // The number, 0.8 tall, on two opposite sides.
            vec2 box = vec2((fract(2.0 * around + 0.5) - 0.5) * 0.5 * arc, y - 2.5) / 0.8;
            // The tens left of the middle, the units right of it: only the one on this side is
            // worked out, and the soft edges both spread into the gap between them end at its
            // middle, so the switch leaves no seam.
            bool units = box.x > 0.0;
            float digits = digitCover(units ? strokes >> 7 : strokes,
                                      box + vec2(units ? -0.08 : 0.58, 0.0), px / 0.8) *
                           smoothstep(0.0, 0.01, abs(box.x));
            albedo = mix(albedo, trim, max(max(band, marks), digits * detail));
        } else {
            // The nose: in the trim colour, or on some the body's with a trim tip.
            albedo = skin.a < 0.5 && livery.x > 4.3 && y < 6.1 ? albedo : trim;
        }
        albedo *= 1.0 - 0.35 * seam - 0.3 * rivet;
        // Soot from the nozzle, in streaks; the lip of the nozzle dark metal.
        float streaks = 0.5 + 0.5 * sin(6.2831853 * 7.0 * around +
                                        2.0 * sin(6.2831853 * 3.0 * around + rocket));
        streaks = mix(0.5, streaks, 1.0 - smoothstep(0.08, 0.25, px));
        soot = 1.0 - smoothstep(0.0, 0.8 + 0.9 * streaks, y - 1.0);
        soot = max(soot * 0.85, 1.0 - smoothstep(0.06, 0.06 + px, y - 1.0));
    } else {
        albedo = trim;
        soot = 0.7 * (1.0 - smoothstep(0.0, 0.9, localPos.y - 0.2));
        metal = 0.12;
    }
    albedo = mix(albedo, vec3(0.05, 0.04, 0.035), soot);

    if (dot(n, view) < 0.0 && paint > 2.5) n = -n;  // a fin is lit from the side seen
    vec3 sky = tone.rgb;
    // The low sun as key light, wrapped a little so the shade side is not dead; a glint on the
    // paint.
    // The fins, thin plates, let the sun through a little: a fin turned away from it still reads
    // as a fin, not a black notch across the body.
    float wrap = paint > 2.5 ? 0.45 : 0.2;
    vec3 sunDir = sunDirection();
    float key = max(dot(n, sunDir) * (1.0 - wrap) + wrap, 0.0);
    vec3 halfway = normalize(sunDir + view);
    // Far off the body is a pixel or two wide and the small highlight would only twinkle.
    float h = max(dot(n, halfway), 0.0);
    h *= h;
    h *= h;
    h *= h;
    h *= h;  // the 16th power
    float glint = h * h * h * 0.9 *
                  (1.0 - smoothstep(25.0, 60.0, eyeDistance));
    // Close by, a broad sheen round the glint shows the hull's curve.
    glint += h * 0.35 * (1.0 - smoothstep(12.0, 30.0, eyeDistance));
    // Fill from the sky above and the warm sand below.
    float above = 0.5 + 0.5 * n.y;
    vec3 fill = mix(vec3(0.3, 0.18, 0.11), sky * 1.6 + vec3(0.08, 0.07, 0.08), above);
    // A rim in the bright horizon's colour, which separates the rocket from the dust and sky,
    // and a little of the sky's light on every side, so a body seen against the light is no
    // black silhouette.
    float edge = 1.0 - max(dot(n, view), 0.0);
    vec3 rim = (sky * 2.0 + vec3(0.3, 0.22, 0.2)) * edge * edge * 0.6;
    fill += sky * 0.3 + vec3(0.03, 0.03, 0.05);
    float pulse = 0.12 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + max(1.0 - t_scene, 0.0);
    vec3 sunColor = t_scene >= kSunsetSeconds ? vec3(1.3, 0.78, 0.5) : vec3(1.2, 1.1, 0.94);
    vec3 light = sunColor * key + fill * shade.x + pulse;
    light += vec3(1.0, 0.6, 0.25) * (shade.y + 0.3 * downbeat());
    // A fin, a plate: darker where it meets the body, a darker line along its tip and its foot
    // (gone far off, where it would only flicker), and only a little of the rim, which would lay
    // one flat colour over the whole plate seen edge-on.
    float fin = step(2.5, paint);
    float u = clamp((paint - 3.0) / 0.9, 0.0, 1.0);            // root 0, tip 1
    float v = (localPos.y - 0.2 + 0.25 * u) * 0.5;             // foot 0, top 1
    float outline = max(smoothstep(0.82, 0.97, u), 1.0 - smoothstep(0.03, 0.12, v)) *
                    (1.0 - smoothstep(8.0, 20.0, eyeDistance));
    float finShade = mix(0.7, 1.0, smoothstep(0.0, 0.6, u)) * (1.0 - 0.4 * outline);
    light *= mix(1.0, finShade, fin);
    rim *= 1.0 - 0.4 * fin;
    // The enamel's gloss and the bare metal mirror the sky and the sand, the gloss most at a
    // grazing angle: the horizon's bright line runs along the hull and slides as the rocket rolls
    // and the eye moves. Soot is matt.
    vec3 r = reflect(-view, n);
    vec3 env = mix(vec3(0.5, 0.32, 0.2) * (0.5 + 2.0 * sky.r), skyGradient(r, tone.a),
                   smoothstep(-0.06, 0.06, r.y));
    float f2 = edge * edge;
    float gloss = (0.04 + 0.5 * f2 * f2 * edge) * (1.0 - soot);
    vec3 c = albedo * (light * (1.0 - metal) + env * 2.2 * metal) + env * gloss +
             vec3(1.0, 0.85, 0.7) * glint * (1.0 - soot) * (paint < 1.5 ? 1.0 : 0.5) + rim;
    // Bright light rolls off instead of clipping, keeping the paint's hue, and what it rolls
    // off bleeds towards white: a strongly lit red nose is no flat blob of one red.
    // The knee 0.85 + 0.15 * (1 - 1 / (1 + x + x * x / 2)), x the excess in fifteenths: close to
    // 1 - exp(-x), and cheaper: the exponential cost half a quad of the frame.
    float peak = max(max(c.r, c.g), max(c.b, 1e-4));
    float x = max(peak - 0.85, 0.0) / 0.15;
    float q = 1.0 + x + 0.5 * x * x;
    c *= peak > 0.85 ? (q - 0.15) / (q * peak) : 1.0;
    c += vec3(0.25 * clamp(peak - 0.85, 0.0, 1.0));
    // The bodies keep a little more of their own colour in the distance than the ground, so the
    // high ones do not fade into the sky.
    c = mix(c, behind, fog * 0.8);
    fragColor = vec4(min(c, vec3(1.0)), fade * nearFade);
}
#endif
