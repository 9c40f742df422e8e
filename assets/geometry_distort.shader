// The temple at night: masonry from "tex", sand from "moss" drifted on the floors and laid in
// strata on the rock below, a warm light that sinks through the building into the crypt, a cold
// moon from above and a blue rim on every edge, all fading into the night's colour, and a warm
// glow from the floor's centre inside the fluted colonnade. On the beat the joints of the
// masonry and the upright silhouettes spark, and on the first of the bar a ring of light climbs
// the building. With "syncdistort" on (the finale), the stone is lit brighter, the joints glow
// between the beats too, and everything warms towards a dawn as the finale builds. The sphere
// of sky round it all, the mesh's last triangles, is drawn with its own program
// (temple_sky.shader).
uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float saw;
uniform float t_scene;
uniform float syncdistort;

uniform vec3 fog_color;

const vec3 kMoon = vec3(-0.6017, 0.5014, 0.6217);  // the moon's direction, behind the usual side
const vec3 kSunset = vec3(0.6, 0.1, -0.7937);      // the sunken sun, just over the mist

// The night's colour along a direction, without stars or clouds: what the fog fades into. Deep
// blue overhead, a pale band of moonlit mist at the horizon, and the mist sea below it.
vec3 nightColor(vec3 d)
{
    float above = max(d.y, 0.0), below = max(-d.y, 0.0);
    vec3 zenith = mix(vec3(0.016, 0.028, 0.085), fog_color, sqrt(above));
    vec3 c = d.y > 0.0 ? zenith : mix(vec3(0.03, 0.042, 0.095), vec3(0.006, 0.012, 0.05),
                                      sqrt(below));
    c += vec3(0.07, 0.08, 0.125) * exp(-abs(d.y) * 7.0);
    float m = max(dot(d, kMoon), 0.0);
    c += vec3(0.05, 0.065, 0.11) * m * m * m * m;
    return c;
}

// The beat as a spark: full on the beat and down to an eighth of it an eighth of a beat later,
// hardest on the first beat of the bar. It lights the joints and the rims only, never the whole
// stone: a swell of the light over all of it reads as the picture flickering.
float beatSpark()
{
    return exp2(-24.0 * saw) * (kick == 0.0 ? 1.0 : 0.65);
}

// On every beat a ring of gold light runs up the building, from the floor to the dome in under a
// third of a beat, and is gone by then: a band at its front (x) and the joints behind it still lit
// (y). The first beat of the bar runs it at full strength, the others at half (in the finale at
// three quarters, and in its last four bars harder and harder).
vec2 downbeatRing(float y, float lastBars)
{
    float on = (kick == 0.0 ? 1.0 : max(0.5 + 0.25 * syncdistort, lastBars)) *
               (1.0 - smoothstep(0.16, 0.3, saw));
    float behind = (-19.0 + 170.0 * saw) - y;  // the front is past the point by this much
    float band = exp2(-behind * behind * 0.8);
    return on * vec2(band, band + 0.6 * step(0.0, behind) * exp2(-0.12 * behind));
}

// Smooth value noise, 0 to 1, from an integer hash of the lattice (the same bits on every
// driver): the stone's grain close up.
float latticeHash(ivec2 c)
{
    uint h = uint(c.x) * 0x27d4eb2du ^ uint(c.y) * 0x165667b1u;
    h ^= h >> 15u;
    h *= 0x2c1b3c6du;
    h ^= h >> 12u;
    return float(h >> 8u) * (1.0 / 16777216.0);
}

float grainNoise(vec2 q)
{
    vec2 cell = floor(q);
    vec2 f = q - cell;
    f = f * f * (3.0 - 2.0 * f);
    ivec2 c = ivec2(cell);
    return mix(mix(latticeHash(c), latticeHash(c + ivec2(1, 0)), f.x),
               mix(latticeHash(c + ivec2(0, 1)), latticeHash(c + ivec2(1, 1)), f.x), f.y);
}

// Value noise as grainNoise, its lattice wrapped round the temple's axis every `cells` cells.
float wrappedNoise(vec2 at, float cells)
{
    vec2 cell = floor(at);
    vec2 f = at - cell;
    f = f * f * (3.0 - 2.0 * f);
    // Wrapped in floats: an integer remainder is worked out lane by lane on a weak GPU.
    int x0 = int(mod(cell.x, cells)), x1 = int(mod(cell.x + 1.0, cells)), y = int(cell.y);
    return mix(mix(latticeHash(ivec2(x0, y)), latticeHash(ivec2(x1, y)), f.x),
               mix(latticeHash(ivec2(x0, y + 1)), latticeHash(ivec2(x1, y + 1)), f.x), f.y);
}

const float kPlatformBottom = -26.05;  // below it is the rock the temple stands on

// While the view stands back from the temple (the held shot, 8 to 16 s, of the first scene)
// the moon comes out bright and silver, and the shadows of clouds drift across the stone.
bool cloudsDrift()
{
    return syncdistort == 0.0 && t_scene >= 8.0 && t_scene < 16.0;
}

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec3 worldNormal;
flat out vec3 eyePos;
out vec4 fogTint;  // the night behind a point of stone, and how much of it veils the point
out float cofferShade;
// On the rock, the field whose middle its cracks follow: from the vertices, so they run in
// straight, kinked segments from one to the next. On the stone, the cover of the clouds drifting
// over it in the held shot, soft enough for the vertices to carry.
out float vertexNoise;

// The light the dome's coffered inside lets reach a vertex of it, 1 elsewhere: twenty-eight
// coffers round and five rows from the oculus's band to the springing's, their sunk panels in
// shade and the ribs between them in the light, and all of it darker down towards the
// springing, away from the oculus. The panels are modelled on these vertices, so the shade
// follows them exactly.
float coffers(vec3 p, vec3 n)
{
    if (p.y < 14.7 || n.y > -0.3 || dot(p.xz, p.xz) > 585.0) return 1.0;
    float s = 1.0 - asin(clamp((p.y - 14.6) / 13.0, 0.0, 1.0)) / 1.2222;
    float row = (s - 0.14) / 0.76 * 5.0;
    vec2 cell = vec2(fract(atan(p.z, p.x) * (28.0 / 6.2831853)), fract(row));
    vec2 sunk = clamp((min(cell, 1.0 - cell) - vec2(0.1)) / vec2(0.12, 0.14), 0.0, 1.0);
    float panel = sunk.x * sunk.y * step(0.0, row) * step(row, 5.0);
    return (1.0 - 0.55 * panel) * (1.0 - 0.45 * s * s);
}

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
    // The stone stays still whatever the beat: bent, columns read as rubber, and a building that
    // moves whole jolts the close-ups by a tenth of the picture. The beat is answered in light.
    vec4 p = position;
    worldPos = p.xyz;
    worldNormal = normal;
    eyePos = cameraPosition();
    // The fog is smooth over any triangle: worked out at the vertices.
    vec3 toPoint = p.xyz - eyePos;
    float distance = length(toPoint);
    fogTint = vec4(nightColor(toPoint / max(distance, 1e-4)), 1.0 - exp(-distance * 0.0055));
    cofferShade = coffers(p.xyz, normal);
    vertexNoise = 0.0;
    if (p.y < kPlatformBottom) {
        // Forty-eight cells round the axis, eight units high, and a finer octave.
        vec2 at = vec2(atan(p.z, p.x) * (48.0 / 6.2831853), p.y * 0.125);
        vertexNoise = 0.55 * wrappedNoise(at, 48.0) +
                      0.45 * wrappedNoise(at * vec2(3.0, 2.5) + vec2(0.0, 7.3), 144.0);
    } else if (cloudsDrift()) {
        vertexNoise =
            grainNoise((p.xz - kMoon.xz * (p.y / kMoon.y)) * 0.06 + vec2(0.5, 0.2) * t_scene);
    }
    gl_Position = matrix * p;
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;
uniform sampler2D moss;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;

in vec3 worldPos;
in vec3 worldNormal;
flat in vec3 eyePos;
in vec4 fogTint;
in float cofferShade;
in float vertexNoise;
out vec4 fragColor;

const float kTempleFloor = -17.9;      // the floor's top, just under the columns' plinths
// The images' mean colours, what a lookup settles to where its texels are smaller than a pixel.
const vec3 kMasonryMean = vec3(0.447, 0.400, 0.333);
const vec3 kSandMean = vec3(0.843, 0.678, 0.467);
const vec3 kMortar = vec3(0.18, 0.16, 0.13);

// Bilinear lookup by hand at a texel position, wrapping like GL_REPEAT. The driver's own
// filtered lookups crawl where a surface is seen edge-on (the images carry the maximum
// anisotropy but no smaller levels). A power-of-two image (all of the temple's) wraps with a
// mask, exact for negative positions too; any other size through mod.
vec3 bilinear(sampler2D s, ivec2 size, vec2 texel)
{
    vec2 f = fract(texel);
    vec2 base = floor(texel);
    ivec2 a, b;
    if ((size.x & (size.x - 1)) == 0 && (size.y & (size.y - 1)) == 0) {
        ivec2 mask = size - 1;
        a = ivec2(base) & mask;
        b = (a + 1) & mask;
    } else {
        a = min(ivec2(mod(base, vec2(size))), size - 1);  // mod can round onto the size
        b = min(ivec2(mod(base + 1.0, vec2(size))), size - 1);
    }
    vec3 c00 = texelFetch(s, a, 0).rgb;
    vec3 c10 = texelFetch(s, ivec2(b.x, a.y), 0).rgb;
    vec3 c01 = texelFetch(s, ivec2(a.x, b.y), 0).rgb;
    vec3 c11 = texelFetch(s, b, 0).rgb;
    return mix(mix(c00, c10, f.x), mix(c01, c11, f.x), f.y);
}

// With no smaller levels to fall back on, a lookup whose pixel covers several texels would sparkle.
// Further off, the image at a quarter of the frequency and a little flattened (a level made by
// hand) takes over, so far faces keep a texture rather than a flat colour, and settles to the
// mean in turn; the two levels meet at the mean over a narrow step only, and no pixel pays for
// more than one lookup. A face seen edge-on takes its level from the narrow side of the pixel's
// footprint, allowing four texels along the long side, so it stays textured instead of going
// flat. The derivatives of `uv` across the pixel come from the caller, worked out where every
// pixel of a block takes the same path.
vec3 fetchFiltered(sampler2D s, vec2 uv, vec2 dx, vec2 dy, vec3 mean)
{
    ivec2 size = textureSize(s, 0);
    if (size.x == 0) return mean;
    vec2 scale = vec2(size);
    vec2 du = dx * scale, dv = dy * scale;
    float across = dot(du, du), along = dot(dv, dv);  // squared lengths in texels
    float footprint = sqrt(max(min(across, along), 0.0625 * max(across, along)));
    bool far_ = footprint >= 4.6;
    float detail = far_ ? 0.8 * smoothstep(4.6, 5.6, footprint) *
                              (1.0 - smoothstep(2.0, 6.0, 0.25 * footprint))
                        : 1.0 - smoothstep(3.4, 4.6, footprint);
    if (detail <= 0.0) return mean;
    vec2 at = far_ ? 0.25 * uv + 0.37 : uv;
    return mix(mean, bilinear(s, size, at * scale - 0.5), detail);
}

// The colonnade as the mesh lays it out: sixteen columns 27 units off the axis, turned a little.
const float kColumnRing = 27.0;
const float kColumnPhase = 0.045;
const float kColumnStep = 0.39269908;

// The point's place round the nearest column's axis in the floor's plane: x away from the
// temple's axis (`outward`), y along the ring. `around` is the point's angle round that axis;
// the turn from there to the column's is under a sixteenth of a circle, where a few terms of
// the series give its sine and cosine.
vec2 aroundColumn(vec3 p, float around, out vec2 outward)
{
    float slot = floor((around - kColumnPhase) / kColumnStep + 0.5);
    float turn = around - kColumnPhase - slot * kColumnStep;
    float turn2 = turn * turn;
    float c = 1.0 - turn2 * (0.5 - turn2 * (1.0 / 24.0));
    float s = turn * (1.0 - turn2 * (1.0 / 6.0 - turn2 * (1.0 / 120.0)));
    float r = max(length(p.xz), 1e-4);
    vec2 radial = p.xz / r;
    outward = vec2(radial.x * c + radial.y * s, radial.y * c - radial.x * s);
    return vec2(r * c - kColumnRing, r * s);
}

// Masonry laid along the face: the projection along the axis the surface faces most. On the
// dome it is laid in rings round the oculus instead, so the view from above reads as a dome, not
// a flat disc: a whole number of repeats round each ring, so no seam where the angle wraps. On a
// column (`shaft`, `column` its place round the column's axis in the same units as `p`) it is
// wrapped round the shaft once, so the courses and their joints run round it unstretched rather
// than smearing where a straight projection meets the curve edge-on.
vec3 masonry(vec3 p, vec3 n, vec3 dx, vec3 dy, bool dome, bool platform, bool shaft, vec2 column,
             vec2 outward, out float texel, out float jointLuma)
{
    vec3 a = abs(n);
    bvec2 side = bvec2(a.x >= a.y && a.x >= a.z, a.y >= a.z);
    vec2 uv = side.x ? p.zy : (side.y ? p.xz : p.xy);
    vec2 du = side.x ? dx.zy : (side.y ? dx.xz : dx.xy);
    vec2 dv = side.x ? dy.zy : (side.y ? dy.xz : dy.xy);
    if (dome || shaft) {
        vec2 across = vec2(-outward.y, outward.x);
        vec2 c = dome ? p.xz : column;
        vec2 cx = dome ? dx.xz : vec2(dot(dx.xz, outward), dot(dx.xz, across));
        vec2 cy = dome ? dy.xz : vec2(dot(dy.xz, outward), dot(dy.xz, across));
        float r2 = max(dot(c, c), 1e-6);
        float r = sqrt(r2);
        // Courses three times the size of the walls' stones: the dome is mostly seen from afar.
        // A column's girth (0.84 of the image) takes one repeat, its height stretched to match.
        const float kCourse = 0.33, kShaftRise = 1.2;
        float k = (dome ? floor(6.2831853 * r * kCourse + 0.5) : 1.0) / 6.2831853;
        uv = vec2(atan(c.y, c.x) * k, dome ? r * kCourse : p.y * kShaftRise);
        du = vec2((c.x * cx.y - c.y * cx.x) / r2 * k,
                  dome ? dot(c, cx) / r * kCourse : dx.y * kShaftRise);
        dv = vec2((c.x * cy.y - c.y * cy.x) / r2 * k,
                  dome ? dot(c, cy) / r * kCourse : dy.y * kShaftRise);
    }
    texel = 1024.0 * max(length(du), length(dv));  // the pixel's size in texels
    // Along the steps the image's repeat every fourteen units shows: on the platform each repeat
    // slides along its courses by an amount of its own (the courses stay in line, and the image's
    // top and bottom edges fall on joints), and a joint of mortar ten texels wide hides the seam
    // at its sides, fading out before it would be thinner than a pixel.
    float seam = 0.0;
    if (platform) {
        float fromSide = abs(uv.x - floor(uv.x + 0.5)) * 1024.0;
        seam = clamp((5.0 - fromSide) / max(texel, 1.0) + 0.5, 0.0, 1.0) *
               (1.0 - smoothstep(2.0, 4.0, texel));
        uv.x += latticeHash(ivec2(floor(uv)) + ivec2(311, 17));
    }
    vec3 stone = mix(fetchFiltered(tex, uv, du, dv, kMasonryMean), kMortar, seam);
    // Close up, where a texel covers several pixels, the image alone would be a smear: the stone
    // takes a grain of its own, noise at one cell in two texels, fading in only where its cells
    // cover three pixels or more, so it never sparkles. It roughens the edges of the joints too,
    // which are read from this colour. (A finer octave would show only within a unit or two of
    // the stone, closer than any camera comes.)
    // Worked out only where it shows: most of the stone is seen from further off.
    float grain = texel < 0.7
                      ? (grainNoise(0.5 * 1024.0 * uv) - 0.5) * (1.0 - smoothstep(0.4, 0.7, texel))
                      : 0.0;
    // The joints are read from the image alone: the grain, magnified, broke them into blotches.
    jointLuma = dot(stone, vec3(0.3, 0.5, 0.2));
    return stone * (1.0 + 0.6 * grain);
}

// Darkness in an inside corner, `d` units from it: a third of the light is kept out at the corner
// itself, none a unit away.
float corner(float d)
{
    return 1.0 - 0.35 * max(1.0 - d, 0.0) * max(1.0 - d, 0.0);
}

// How much of the surrounding light reaches a point: less in the corners where a step meets the
// tread below, round the plinths and the columns' feet, and under the capitals.
float occlusion(vec3 p, vec2 column)
{
    float r = length(p.xz);
    // The platform's steps, two units up and in each, their inside corners on the line
    // r - 35 + y + 24 = 4; and the three rings at the foot of the dome.
    vec2 stair = vec2(r - 35.0, p.y + 24.0);
    float k = clamp(floor(0.5 * stair.y + 0.01), 0.0, 2.0);
    float ao = corner(length(stair - vec2(4.0 - 2.0 * k, 2.0 * k)) * 0.7);
    float ring = clamp(floor(p.y - 13.6), 1.0, 3.0);  // 1 to 3 from the lowest ring up
    vec2 ringCorner = vec2(ring == 1.0 ? 28.5 : (ring == 2.0 ? 27.6 : 26.6), 13.6 + ring);
    ao *= corner(length(vec2(r, p.y) - ringCorner) * 1.4);
    // Round the columns: the floor by the plinth, the shaft's foot and its neck.
    vec2 overPlinth = max(abs(column) - 2.6, 0.0);
    float shaft = 1.0 - step(4.84, dot(column, column));  // within 2.2 of the axis
    ao *= corner(length(vec2(length(overPlinth), p.y + 18.0)) * 0.6);
    ao *= 1.0 - shaft * (0.25 * (1.0 - smoothstep(-15.95, -14.0, p.y)) +
                         0.35 * smoothstep(3.5, 5.6, p.y) * step(p.y, 5.6));
    return ao;
}

// Complex numbers as vectors: a product and a square.
vec2 times(vec2 a, vec2 b)
{
    return vec2(a.x * b.x - a.y * b.y, a.x * b.y + a.y * b.x);
}

vec2 square(vec2 z)
{
    return times(z, z);
}

// The six braziers round the well take fire once the light has come to rest in the crypt: their
// bowls burn, and each lights what stands near it.
vec3 brazierFire(vec3 p, vec3 n, float around)
{
    // Only what stands within reach of the ring of bowls pays for the fire.
    if (t_scene < 11.5 || abs(p.y + 12.0) > 8.0 || abs(length(p.xz) - 16.0) > 9.0) return vec3(0.0);
    const float kSector = 1.0471976;  // a sixth of a turn
    float slot = floor(around / kSector) + 0.5;
    vec3 bowl = vec3(16.0 * cos(slot * kSector), -11.6, 16.0 * sin(slot * kSector));
    // 13 and 7.3 radians a second, wrapped to a turn before the sine (the clock reaches 180 s).
    float flicker = 0.85 + 0.15 * sin(6.2831853 * fract(2.0690142 * t) + 3.0 * slot) *
                               sin(6.2831853 * fract(1.1618311 * t) + slot);
    float fire = smoothstep(11.5, 13.0, t_scene) * flicker;
    vec3 toBowl = bowl - p;
    float d = length(toBowl);
    float pool = max(dot(n, toBowl / max(d, 1e-4)), 0.0) / (1.0 + 0.025 * d * d);
    float flame = (1.0 - smoothstep(1.2, 2.2, length(p.xz - bowl.xz))) *
                  smoothstep(-13.0, -12.6, p.y) * step(p.y, -12.0);
    return vec3(1.0, 0.52, 0.18) * fire * (2.0 * pool + 1.5 * flame);
}
void main()
{
    vec3 dx = dFdx(worldPos), dy = dFdy(worldPos);
    float noiseStep = fwidth(vertexNoise);
    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    vec3 ray = -toEye / max(eyeDistance, 1e-4);
    // The air round the sinking light glows: close to it brightly, faintly further out.
    float closest = clamp(dot(lightpos - eyePos, ray), 0.0, eyeDistance);
    float gap = length(eyePos + ray * closest - lightpos) / lightradius;
    float haze = exp(-gap * gap * 10.0) * clamp(closest / 8.0, 0.0, 1.0);
    vec3 glow = vec3(0.6, 0.42, 0.22) * (0.4 * haze + 0.05 * exp(-2.0 * gap));


    vec3 n = normalize(worldNormal);
    toEye = -ray;
    if (dot(n, toEye) < 0.0) n = -n;

    // Materials: dressed stone for the temple, sand drifted on what faces up, and below the
    // platform the rock, the sand image laid flat as strata and darkened.
    bool rock = worldPos.y < kPlatformBottom;
    // The sand image serves both the rock's strata and the drifts: where it is laid and how
    // strongly, then one lookup for either, so the shader holds a single copy of it.
    vec2 sandUv, sandDu, sandDv;
    float drift;
    vec2 q = worldPos.xz;
    float around = atan(q.y, q.x);  // round the temple's axis
    if (rock) {
        // Round the axis on the flanks, the angle's change across the pixel taken without
        // derivatives in a branch; laid flat on the underside seen from below.
        float turnX = (q.x * dx.z - q.y * dx.x) / max(dot(q, q), 1e-4);
        float turnY = (q.x * dy.z - q.y * dy.x) / max(dot(q, q), 1e-4);
        const float kAround = 4.2, kDown = 0.09, kFlat = 0.035;  // strata 11 units deep
        bool under = n.y < -0.7;
        sandUv = under ? q * kFlat : vec2(around * kAround, worldPos.y * kDown);
        sandDu = under ? dx.xz * kFlat : vec2(turnX * kAround, dx.y * kDown);
        sandDv = under ? dy.xz * kFlat : vec2(turnY * kAround, dy.y * kDown);
        drift = 1.0;
    } else {
        const float kSand = 0.03;
        // On the steps the ripples (across the image's height) run along each tread, the image's
        // height laid along the radius: laid straight, they crossed the narrow rings as a regular
        // hatching. Along the tread it takes a straight projection, which needs no angle.
        bool steps = worldPos.y < kTempleFloor - 0.15;
        float r = max(length(q), 1e-2);
        const vec2 kAlong = vec2(0.7071068, 0.7071068);
        sandUv = (steps ? vec2(dot(q, kAlong), r) : q) * kSand;
        sandDu = (steps ? vec2(dot(dx.xz, kAlong), dot(q, dx.xz) / r) : dx.xz) * kSand;
        sandDv = (steps ? vec2(dot(dy.xz, kAlong), dot(q, dy.xz) / r) : dy.xz) * kSand;
        // Sand lies on the floor and the steps, not on the cornices and the dome.
        drift = smoothstep(0.55, 0.95, n.y) * (1.0 - smoothstep(-14.0, -11.0, worldPos.y));
    }
    vec3 sand = drift > 0.0 ? fetchFiltered(moss, sandUv, sandDu, sandDv, kSandMean) : kSandMean;

    vec3 albedo = sand * vec3(0.42, 0.4, 0.42);
    vec2 outward;
    vec2 column = aroundColumn(worldPos, around, outward);
    float stoneLuma = 1.0, texel = 1e3;  // no joints on the rock
    // The columns, their bases and capitals up to the square abacus.
    bool shaft = !rock && dot(column, column) < 6.76 && worldPos.y > -17.0 && worldPos.y < 7.2;
    if (!rock) {
        const float kStone = 0.07;
        // The dome's outer shell and its coffered inside (seen from below, facing down) alike.
        bool dome = worldPos.y > 17.3 ? abs(n.y) > 0.3 : (worldPos.y > 14.7 && n.y < -0.3);
        vec3 stone = masonry(worldPos * kStone, n, dx * kStone, dy * kStone, dome,
                             worldPos.y < kTempleFloor, shaft, column * kStone, outward, texel,
                             stoneLuma);
        albedo = mix(stone, sand * 0.8, drift * (0.45 + 0.4 * sand.r));
    }
    // Twelve flutes round each shaft, shaded through the normal so every light models them;
    // they fade out before a flute is narrower than four pixels, where they would shimmer.
    float pixel = max(length(dx), length(dy));  // the pixel's size in units
    float fluted = shaft && worldPos.y > -15.6 && worldPos.y < 5.2
                       ? 1.0 - smoothstep(0.14, 0.28, pixel)
                       : 0.0;
    if (fluted > 0.0) {
        // The point's direction round the shaft as a unit complex number z; the flutes follow
        // the imaginary part of z^12, the sine of twelve times its angle, without an angle.
        vec2 z = column * inversesqrt(max(dot(column, column), 1e-6));
        vec2 z4 = square(square(z));
        float flute = times(square(z4), z4).y;
        vec2 tangent = -z.y * outward + z.x * vec2(-outward.y, outward.x);
        n = normalize(n + 0.45 * fluted * flute * vec3(tangent.x, 0.0, tangent.y));
    }
    // The joints are where the masonry is darkest. Their edge is spread over the pixel's own
    // change in brightness, so it is soft rather than stepped, and they dim to a third as the
    // cracks (three or four texels wide) narrow to under half a pixel, where they would crawl.
    // Where a texel covers several pixels the edge widens a little too, so the image's speckle
    // round the threshold reads as a short falloff of the glow rather than as ragged islands the
    // size of texels, while the cracks of a close-up stay sharp, not a blurred magnification.
    float magnified = 1.0 - smoothstep(0.3, 1.0, texel);
    float joints = clamp((0.19 - stoneLuma) / (0.1 + fwidth(stoneLuma) + 0.1 * magnified) + 0.5,
                         0.0, 1.0) *
                   (1.0 - 0.7 * smoothstep(5.0, 10.0, texel));

    // The finale builds to a dawn (the sun in the sky shader): a touch of it from the cut on,
    // and to its last frame the sun lights what faces up in amber, the afterglow's key, the rims
    // and the beat's swell grow warmer and stronger, and the joints burn brighter.
    float build = syncdistort * (0.15 + 0.85 * smoothstep(21.573034, 43.146067, t_scene));
    // The sinking light: warm, reaching 2.5 radii, with a hot pool where it passes close by.
    vec3 toLight = lightpos - worldPos;
    float lightDistance = length(toLight);
    vec3 l = toLight / max(lightDistance, 1e-4);
    float reach = pow(clamp(1.0 - lightDistance / (2.5 * lightradius), 0.0, 1.0), falloff);
    float near = 1.0 / (1.0 + lightDistance * lightDistance / (0.09 * lightradius * lightradius));
    float diffuse = max(dot(n, l), 0.0);
    // Close to the light its glow wraps round edges, so it seems to spill out of the well.
    float wrapped = max(dot(n, l) + 0.5, 0.0) / 1.5;
    vec3 light = vec3(1.25, 0.86, 0.5) * (1.3 * reach * diffuse + 2.5 * near * wrapped);

    // The moon, behind the camera's usual side, and the sky's blue from above; the dome's
    // inside, seen from under it, is sheltered from the moon.
    float sheltered = smoothstep(14.0, 15.5, worldPos.y) * smoothstep(0.2, 0.5, -toEye.y);
    // Seen from high above (the crane over the dome), the moon is the key: one flank of the dome
    // lit, the other in shade, and neither the amber from the other side, nor the rim, nor the
    // fog's veil, which together made it read as a flat, see-through disc.
    float overhead = smoothstep(0.5, 0.85, toEye.y) * smoothstep(30.0, 50.0, eyePos.y);
    // From there the shell, its courses laid in rings round the oculus and lit alike all over,
    // read as a flat grey disc. For the light its slope is taken steeper, so the low moon rounds
    // it and lights its twenty-eight ribs (modelled in the mesh) each on one side.
    // Warm light round the dome's foot and its joints aglow join them. The crane shot comes only
    // after the temple's eighteenth second: no other frame pays for any of it.
    float fromAxis2 = max(dot(q, q), 1e-6);
    vec3 fromAbove = vec3(0.0);
    float footShade = 1.0, sink = 0.0;
    if (t_scene > 18.0 && syncdistort == 0.0) {
        float fromAxis = sqrt(fromAxis2);
        // Below the roof the building goes dimmer and colder, the more the further out it lies
        // and the rock most, so the shell stands out and the lit columns ring it on a floor
        // that darkens towards the steps. Gently: a strong ramp across the steps drew them as
        // ever fainter copies of the dome. The columns and the floor seen through the oculus
        // keep their light.
        float below = shaft || worldPos.y > 14.0 ? 0.0 : clamp(fromAxis * (1.0 / 3.0) - 3.0, 0.0, 1.0);
        sink = overhead * (rock ? 0.3 : below * clamp(0.055 * fromAxis - 1.5, 0.15, 0.4));
        // Under the shell's rim the roof round its foot lies in a soft shadow, deepest on the
        // side turned from the moon, so the shell stands off the drum as a dome.
        float away = 0.5 - 0.5 * dot(q / fromAxis, vec2(-0.824, 0.567));
        footShade = 1.0 - overhead * step(worldPos.y, 17.3) * step(14.0, worldPos.y) *
                              (1.0 - smoothstep(27.0, 32.0, fromAxis)) * (0.3 + 0.5 * away);
        float cupola = overhead * step(17.3, worldPos.y) * step(0.3, n.y);
        n = normalize(n + cupola * vec3(n.x, 0.0, n.z));
        fromAbove = overhead * step(14.5, worldPos.y) *
                    (vec3(0.42, 0.24, 0.09) * smoothstep(25.5, 30.0, fromAxis) * footShade +
                     vec3(1.0, 0.62, 0.2) * 0.5 * joints);
    }
    // Inside the colonnade, under the roof and behind the columns, the sky's lights reach in
    // weakly, least on what faces the axis (the columns' inner sides, the abaci, the inner face
    // of the entablature): the colonnade is dark behind its lit outer columns, lit from within
    // only by the sinking light.

    float inward = max(-dot(n.xz, worldPos.xz) * inversesqrt(fromAxis2), 0.0);
    // Linear ramps, this being paid on every pixel of stone: out from 25 to 29 units off the
    // axis, from the floor up to the dome's springing.
    float within = clamp((841.0 - fromAxis2) * (1.0 / 216.0), 0.0, 1.0) *
                   clamp(worldPos.y - kTempleFloor + 1.0, 0.0, 1.0) *
                   clamp(15.0 - worldPos.y, 0.0, 1.0);
    float outdoor = 1.0 - within * (0.35 + 0.45 * inward) * (1.0 - overhead);
    // From above the moon is taken lower, so a terminator crosses the dome and it reads round.
    vec3 moonward = normalize(mix(kMoon, vec3(-0.8, 0.25, 0.55), overhead));
    float moon = max(dot(n, moonward), 0.0) * (1.0 - sheltered) * outdoor;
    if (cloudsDrift() && !rock) moon *= mix(0.3, 7.0, smoothstep(0.4, 0.62, 1.0 - vertexNoise));
    // In the finale the dawn has taken the moon's place: from its side comes a warm light, and
    // the purple sky is only a soft fill, so the shafts facing the camera read as lit stone
    // rather than as dark blue glass.
    // Looking into the dawn, the faces turned to the camera are the stone's shadow side: the
    // building stands dark against the sun, its edges burning (the rim below).
    float sunSide = smoothstep(-0.2, 0.7, dot(ray, kSunset));
    float frontShade = 1.0 - 0.75 * syncdistort * smoothstep(-0.5, 0.5, dot(ray, kSunset));
    vec3 moonColor = mix(vec3(0.3, 0.44, 0.9), vec3(0.42, 0.3, 0.36) * frontShade, syncdistort);
    light += (moonColor + vec3(2.0, 1.55, 1.1) * overhead) * moon +
             vec3(0.08, 0.1, 0.16) * overhead;
    light += (vec3(0.03, 0.035, 0.07) + vec3(0.09, 0.055, 0.13) * syncdistort) *
             (0.6 + 0.4 * n.y) * outdoor;
    // The afterglow of the set sun, low on the other side: a hard amber key that models every
    // column, cornice and step against the moon's cold blue side, and deep shade between them.
    float dusk = max(dot(n, kSunset), 0.0) * outdoor;
    light += vec3(1.75, 0.86, 0.3) * dusk * (1.0 - sheltered) * (1.0 - 0.85 * overhead) *
             (1.0 + 2.0 * build * build);
    light += vec3(0.9, 0.55, 0.25) * max(n.y, 0.0) * build * frontShade;
    // Through the finale's first eight bars, before the sun has climbed, the lit floor and the
    // sunrise throw a warm bounce onto the shaded faces, most onto those turned down and away
    // from the sun, so the close-ups read as warm stone against the dawn, not as black cut-outs.
    // The sky's violet fades over the same seconds (temple_sky.shader).
    float early = syncdistort * (1.0 - smoothstep(32.6, 36.0, t_scene));
    light += vec3(0.62, 0.4, 0.24) * early * (0.75 - 0.35 * n.y) *
             (1.0 - 0.6 * max(dot(n, kSunset), 0.0)) * outdoor;
    // The mist below the rock holds the afterglow, and lights what faces down in a dusky violet.
    light += vec3(0.3, 0.2, 0.26) * max(dot(n, vec3(0.45, -0.85, 0.27)), 0.0) * outdoor;
    // A warm glow from the middle of the floor fills the colonnade from within.
    // Worked out inside the colonnade only (and the ring of light below only while it runs): a
    // weak GPU skips a branch that no pixel of a block takes.
    if (within > 0.0) {
        vec3 toHeart = vec3(0.0, -16.5, 0.0) - worldPos;
        float heart2 = dot(toHeart, toHeart);
        float heartFacing = max(dot(n, toHeart) * inversesqrt(max(heart2, 1e-4)) + 0.3, 0.0) / 1.3;
        light += vec3(1.0, 0.56, 0.26) * 1.6 * heartFacing * within /
                 (1.0 + heart2 * (1.0 / 150.0));
    }
    light *= occlusion(worldPos, column) * cofferShade * footShade;
    // A cold rim on every silhouette keeps the shapes apart from the night.
    float edge = 1.0 - max(dot(n, toEye), 0.0);
    // Only on what faces up or sideways: a face turned down (the soffits, the dome's inside) is
    // seen edge-on from below across its whole width, where a rim would wash it flat.
    // The rock is the exception: the sky's rim along its flanks, most of which face down, is
    // what keeps it apart from the night below the temple.
    float rim = edge * edge * edge * (1.0 - (rock ? 0.0 : 0.8) * smoothstep(0.3, 0.8, -n.y)) *
                (shaft ? 2.2 - 1.2 * syncdistort : 1.0);
    // Nor inside the dome seen from under it: the coffers' step faces, edge-on from there, are
    // no silhouettes and would show as cold slivers. Nor from high above.
    rim *= (1.0 - sheltered) * (1.0 - overhead * (rock ? 0.2 : 1.0));
    // Against the afterglow the rim is its amber, so the colonnade stands out warm against the
    // sky where the sun has set behind it.
    // As the dawn builds, the edges turned to the sun burn hotter and hotter.
    float backlit = max(sunSide, syncdistort);
    vec3 rimColor = mix(vec3(0.13, 0.22, 0.48), vec3(0.5, 0.25, 0.1), backlit) *
                    (1.0 + 5.0 * build * sunSide);
    // The finale opens on darker stone than the temple, its rims all amber and its joints
    // already glowing, and the stone comes up into the light as the dawn builds.
    float veil = syncdistort * (1.0 - build);
    vec3 color = albedo * light * (1.0 + 0.45 * syncdistort - 0.3 * veil) +
                 rimColor * rim * (rock ? 1.6 : 1.0);
    // On the beat a thin gold line flares along the silhouettes: the rim's outermost part, and
    // only on upright faces (treads and floors seen at a slant are all rim, too much picture).
    float edgeLine = rim * edge * edge * edge * (1.0 - n.y * n.y);
    // The finale's last four bars (from bar 132) spark harder and harder towards the end.
    float lastBars = syncdistort * step(37.7, t_scene) *
                     (0.5 + 0.5 * clamp((t_scene - 37.7) * (1.0 / 5.4), 0.0, 1.0));
    float spark = beatSpark() * (1.0 + 1.5 * lastBars);
    color += vec3(0.9, 0.55, 0.2) * edgeLine * (rock ? 0.5 : 2.5) * spark;
    // Fire shows in the cracks on the rock's outside (not in the crypt, whose walls face the
    // axis): a dim glow that flares on every beat. A crack narrower than a pixel is widened to it
    // and dimmed to match, so it never sparkles.
    float crackWidth = max(0.02, 1.2 * noiseStep);
    float crack = rock && dot(n.xz, q) > 0.0
                      ? (1.0 - smoothstep(0.3 * crackWidth, crackWidth, abs(vertexNoise - 0.5))) *
                            0.02 / crackWidth
                      : 0.0;
    color += vec3(1.0, 0.36, 0.08) * crack * (0.6 + 2.0 * spark);

    // The joints of the masonry carry the beat: a gold spark in them, as in the rock wall of the
    // opening; in the finale they glow between the beats too, and spark a little less. The
    // beat's ring lights them as it passes, lays a band of light round the columns and leaves
    // the shafts behind it warm.
    vec2 ring = rock || saw > 0.3 ? vec2(0.0) : downbeatRing(worldPos.y, lastBars);
    vec2 ringOnStone = ring * (shaft ? vec2(1.7, 0.3) : vec2(0.5, 0.0)) * (1.0 + 0.2 * syncdistort);
    color += vec3(1.0, 0.62, 0.2) *
             (joints * (spark * (2.5 - 0.6 * syncdistort) + (0.6 * syncdistort + 0.5 * early) * (1.0 + lastBars) +
                        3.0 * ring.y) +
              ringOnStone.x + ringOnStone.y);

    color += brazierFire(worldPos, n, around) + fromAbove;
    // The lit inside glows up through the oculus onto its lip, so from above the opening reads
    // as a way into a lit room rather than a hole in a drum.
    float lip = (1.0 - smoothstep(8.2, 10.0, length(q))) * smoothstep(27.0, 28.5, worldPos.y);
    color += vec3(0.8, 0.5, 0.22) * lip * max(n.y, 0.0) * (1.0 - 0.5 * build);

    // Rolled off rather than clipped near the light: 1 - exp(-1.4 x), to within a few hundredths,
    // at the cost of a division.
    vec3 y = 1.4 * color;
    vec3 y2 = y + 0.5 * y * y;
    color = y2 / (1.0 + y2);

    // What sinks below the dome stays solid stone, only dimmer and colder, with its own light
    // and shade: faded into the sky instead, it let the sky through and read as ghost copies.
    color *= 1.0 - sink * vec3(0.75, 0.62, 0.3);
    // The night closes in with distance, in the colour of the sky behind; from high above, into
    // the deep blue of the sky's lower half behind.
    color = mix(color, fogTint.rgb + vec3(0.025, 0.04, 0.11) * overhead,
                fogTint.a * (1.0 - 0.7 * overhead)) +
            glow;
    fragColor = vec4(color, 1.0);
}
#endif
