// The sky over the rocket field: a sphere round the camera, inside the far plane, bent from the
// thin rod (an open tube of radius 0.1 along y, -1.5 to 1.5), drawn after the ground so that only
// what the ground leaves is shaded. A clear blue day until the sunset at bar 88, then a dusk that
// darkens as the ground fog "fog_color" the scene sends dims; the rocket program's haze and the
// ground's fog fade into the same colours, so the horizon joins the floor. Streaks of cloud drift
// with "t".
uniform mat4 matrix;
uniform float t;
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

const vec3 kSunDir = vec3(0.5881, 0.4812, -0.7485);  // the low sun the ground is lit by
// From bar 88 (118.65 s) the sun sets: the same bearing, ten degrees up, large and red.
const float kSunsetSeconds = 118.65;
const float kStarsSeconds = 128.0;  // the dimming is well under way
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

vec3 sunDirection()
{
    return t >= kSunsetSeconds ? kLowSunDir : kSunDir;
}

bool isDay()
{
    return t < kSunsetSeconds;
}

// How far the light has gone (0 in daylight, 1 at the dimmest), the same for every pixel: worked
// out once per vertex and handed on flat.
float lateness()
{
    // At least half way to dusk once the sun is low.
    return max((1.0 - skyDim()) / 0.6, t >= kSunsetSeconds ? 0.5 : 0.0);
}

// The sky along a direction, without its clouds: a glowing band low down, bright round the sun,
// giving way fast to a deeper, cooler colour overhead, so the rockets stand off it. The ground's
// fog and the rockets' haze fade into the same gradient, so the horizon joins the floor.
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

out vec3 direction;  // from the eye
flat out float late;

// The camera in model space: the point whose clip-space x, y and w all vanish.
vec3 cameraPosition()
{
    vec4 r0 = vec4(matrix[0][0], matrix[1][0], matrix[2][0], matrix[3][0]);
    vec4 r1 = vec4(matrix[0][1], matrix[1][1], matrix[2][1], matrix[3][1]);
    vec4 r3 = vec4(matrix[0][3], matrix[1][3], matrix[2][3], matrix[3][3]);
    return inverse(transpose(mat3(r0.xyz, r1.xyz, r3.xyz))) * -vec3(r0.w, r1.w, r3.w);
}

void main()
{
    vec3 p = position.xyz;
    float v = clamp((p.y + 1.5) / 3.0, 0.0, 1.0);  // 0 at the rod's foot, 1 at its head
    vec2 d = length(p.xz) > 0.0 ? normalize(p.xz) : vec2(1.0, 0.0);
    float elevation = (v - 0.5) * 3.1415927;
    direction = vec3(d.x * cos(elevation), sin(elevation), d.y * cos(elevation));
    late = lateness();
    gl_Position = matrix * vec4(cameraPosition() + 195.0 * direction, 1.0);
}
#endif

#ifdef fragmentcompile
in vec3 direction;
flat in float late;
out vec4 fragColor;

float valueNoise(vec2 q)
{
    vec2 cell = floor(q);
    vec2 f = q - cell;
    f = f * f * (3.0 - 2.0 * f);
    uvec2 c = uvec2(ivec2(cell) + 4096);
    float a = unitHash(c);
    float b = unitHash(c + uvec2(1u, 0u));
    float e = unitHash(c + uvec2(0u, 1u));
    float g = unitHash(c + uvec2(1u, 1u));
    return mix(mix(a, b, f.x), mix(e, g, f.x), f.y);
}

// Points of light over the dome, fixed to it: one cell in six holds a star, set off its edges; a
// star is a soft dot some three pixels across whatever the size of the frame, so it neither
// twinkles nor crawls as the view moves.
float stars(vec3 d)
{
    vec2 at = d.xz / (1.0 + max(d.y, 0.0)) * 70.0;
    vec2 cell = floor(at);
    float h = unitHash(uvec2(ivec2(cell) + 4096));
    vec2 centre = 0.25 + 0.5 * vec2(fract(h * 37.0), fract(h * 113.0));
    float pixel = max(fwidth(at.x), fwidth(at.y));
    float dot_ = 1.0 - smoothstep(0.9 * pixel, 2.2 * pixel, length(at - cell - centre));
    return dot_ * smoothstep(0.8, 0.9, h) * (1.0 - smoothstep(0.08, 0.16, pixel));
}

// The sky: the gradient with a few streaks of cloud lit from the sun's side, and the sun itself
// low and large behind them. Once it has set low (bar 88) it is a big
// red disc on the horizon, and as the light goes the first stars come out overhead.
vec3 skyColor(vec3 d)
{
    vec3 c = skyGradient(d, late);
    // Below the horizon (seen from under the canyon's rim, or through a dune the camera passes)
    // the dust haze thickens: golden blown sand by day, darkening at dusk.
    float below = smoothstep(0.0, -0.8, d.y);
    c = isDay() ? mix(c, kDayDust, min(2.5 * below, 1.0)) : c * (1.0 - 0.3 * below);
    vec3 sunDir = sunDirection();
    float toSun = dot(d, sunDir);
    float sun = max(toSun, 0.0);
    bool setting = t >= kSunsetSeconds;
    // (Before the dimming, on the time alone: the whole frame skips them.)
    if (t >= kStarsSeconds)
        c += vec3(0.85, 0.8, 1.0) * stars(d) * smoothstep(0.5, 0.9, late) * smoothstep(0.15, 0.45, d.y);
    // The disc: a red foot and an orange crown once it is low.
    float edge = setting ? 0.9965 : 0.9989;
    float disc = smoothstep(edge - 0.0004, edge + 0.0003, toSun);
    vec3 crown = mix(vec3(1.0, 0.36, 0.14), vec3(1.0, 0.78, 0.42), smoothstep(-0.07, 0.07, d.y - sunDir.y));
    c = mix(c, setting ? crown : vec3(1.0, 0.98, 0.92), disc * (setting ? 0.95 : 0.8));  // white-hot by day
    // A few long, thin streaks of high cloud, only ever lighter than the sky behind them: a soft
    // sun-lit body and a brighter rim, strongest on the sun's side. They thin out towards the
    // horizon, where they would crowd into sparkle, and fade as the stars come out.
    vec2 q = d.xz / (d.y + 0.15) * vec2(0.7, 3.2);
    // By day soft white wisps, mostly body: a bright rim drew rings on the blue.
    bool day = isDay();
    float dust = valueNoise((day ? q * vec2(1.0, 0.3) : q) + vec2(0.02 * t, 0.0));
    // By day the noise only warps and gates fine parallel threads across the wind, so the wisps
    // read as high cirrus with clean edges, not as blotches; where the threads crowd, low down,
    // the fade has already taken them.
    float across = 1.3 * q.y + 1.5 * dust;
    float thread = clamp(1.0 - 4.0 * abs(fract(across) - 0.5), 0.0, 1.0);
    float body = smoothstep(day ? 0.4 : 0.62, 0.8, dust) * (day ? thread * thread : 1.0);
    float rim = body * (1.0 - body);
    float fade = smoothstep(0.06, 0.3, d.y) * (1.0 - 0.7 * smoothstep(0.6, 0.95, late));
    vec3 lit = (day ? vec3(1.0, 0.97, 0.93) : mix(vec3(1.0, 0.62, 0.4), vec3(1.0, 0.55, 0.6), late)) *
               (0.35 + 0.65 * sun);
    c += lit * (day ? 0.4 * body + 0.2 * rim : 0.22 * body + 0.9 * rim) * fade;
    return c;
}

void main()
{
    fragColor = vec4(skyColor(normalize(direction)), 1.0);
}
#endif
