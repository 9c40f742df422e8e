// The asteroid's tunnel: the wall surface (a plane near x = -5, y and z from -200 to 200) rolled
// into a tube around the z axis, wide enough that every camera of the scene stays inside. Broad
// lumps of rock make it uneven, drawn only by normals worked out per pixel from their formula:
// riding over the coarse grid's fixed corners as the rock flows by, they made the stone swim.
// The rock flows past the camera as if the tube were flown through. It is hewn into courses of
// sandstone blocks, each its own hewn face, with open dark joints between them; moss sits in
// the hollows; a lamp circles the rock in the middle and glows in the haze, and lava glows at
// both closed ends. Far down the tube the haze darkens and rings of lamplight recede into it. On
// every beat the cracks glow like embers. "distort": while negative the tube breathes out a
// little between beats; once positive a slow swell of ember light rolls along the tube (the
// stone itself stays rigid).
#ifdef GL_ARB_shading_language_420pack
#extension GL_ARB_shading_language_420pack : enable
#define UNIT(n) layout(binding = n)
#else
#define UNIT(n)
#endif

uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;
uniform float distort;
uniform float fog_falloff;
uniform float fog_scale;

const float kPi = 3.14159265;
const float kRadius = 40.0;
// Wall y to angle: once round in a little less than the wall's 400 units, so its two long edges
// overlap instead of leaving a crack.
const float kAround = kPi / 198.0;
const float kLength = 0.6;  // the wall's 400 units along z squeezed to 240
// The rock's lumps: four waves running slantwise round the tube (whole turns of it, so they meet
// at the seam) and along it, each at its own pitch, so their sum is an uneven bulge and hollow
// with no ring or spoke in it. Per wave: turns round the tube, waves per unit along it, height
// and phase.
const vec4 kLumpTurns = vec4(3.0, -5.0, 7.0, -11.0);
const vec4 kLumpAlong = vec4(0.09, 0.13, -0.07, -0.21);
const vec4 kLumpHeight = vec4(1.6, 1.2, 0.9, 0.6);
const vec4 kLumpPhase = vec4(0.7, 2.1, 4.0, 1.3);
const float kLumpDepth = 1.2;  // at most about five units deep
// The rock flows past towards -z (wall units a second), so the tube reads as flown through: the
// lumps, blocks and hues all ride along; the tube's closed ends and its swell stay put. Each
// bar's first beat pushes it on by a further stretch, most of it within that beat.
const float kFlow = 60.0;
const float kSurge = 30.0;

vec4 lumpPhases(vec2 wall)
{
    return kLumpTurns * (kAround * wall.y) + kLumpAlong * (kLength * wall.x) + kLumpPhase;
}

// The lamp circles the rock at radius 12; the rock tumbles (0.2 and 0.3 of t_scene about x and
// y) and the tube is turned half about z, so this is where the rock's lamp is in tube space.
vec3 lampPosition()
{
    vec3 l = 12.0 * vec3(cos(t_scene), sin(t_scene), 0.0);
    float a = 0.3 * t_scene, b = 0.2 * t_scene;
    vec3 u = vec3(l.x * cos(a) - l.z * sin(a), l.y, l.x * sin(a) + l.z * cos(a));
    vec3 w = vec3(u.x, u.y * cos(b) + u.z * sin(b), u.z * cos(b) - u.y * sin(b));
    return vec3(-w.x, -w.y, w.z);
}

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec2 wallUv;
out vec2 radialDir;
out vec3 toEye;
// The same at every corner: not interpolated.
flat out vec3 lampFromEye;
out float heave;
out vec3 tint;
out float fog;

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
    float y = p.y;
    float bar = 0.25 * beats;
    float barLeft = 1.0 - fract(bar);
    barLeft *= barLeft;
    float z = p.z + kFlow * t_scene + kSurge * (floor(bar) + 1.0 - barLeft * barLeft);
    // Where the wall's two long edges overlap, the low edge tucks a little outwards, under the
    // other one.
    float tuck = 0.8 * (1.0 - smoothstep(-199.0, -195.0, y));

    // Before bar 32 the tube breathes out between beats; after it a low swell of ember light
    // rolls along, a few units a second. The stone stays put: the rock flowing over a heaving
    // wall read as rubber.
    // 0.5 rad/s as whole turns of the clock: the sine never sees a large argument.
    float ring = 0.5 + 0.5 * sin(0.07 * p.z - 2.0 * kPi * fract(0.0795775 * t) + 2.0 * sin(kAround * y * 3.0));
    heave = distort * (distort > 0.0 ? ring : 1.0);
    float radius = kRadius + tuck - 3.0 * min(heave, 0.0);
    float angle = kAround * y;

    vec3 radial = vec3(cos(angle), sin(angle), 0.0);
    vec3 along = vec3(-sin(angle), cos(angle), 0.0);
    // Closed at both ends, short enough that the far plane never cuts it open: the ends curve in
    // to the axis over the last 50 units, well inside the fog.
    float cap = clamp((abs(p.z) - 150.0) / 49.0, 0.0, 1.0);
    radius *= sqrt(1.0 - cap * cap);
    worldPos = vec3(radius * radial.xy, kLength * p.z);
    wallUv = vec2(z, y);
    // Hues that wander along and round the tube: rust, ochre, dark umber, a cold grey. They change
    // over many of the grid's cells, so the grid's corners carry them.
    float wander = sin(0.021 * z + 2.0 * sin(kAround * y * 2.0)) + 0.6 * sin(0.047 * z - 3.0 * kAround * y);
    float band = 0.5 + 0.5 * sin(0.013 * z + kAround * y * 3.0 + 1.0);
    tint = mix(vec3(1.0, 0.55, 0.42), vec3(1.1, 0.92, 0.55), smoothstep(-0.6, 0.9, wander));
    tint = mix(tint, vec3(0.7, 0.72, 0.78), 0.7 * smoothstep(0.6, 0.95, band));
    tint = mix(tint, vec3(0.5, 0.3, 0.26), 0.7 * smoothstep(0.3, 1.1, -wander));
    radialDir = radial.xy;
    vec3 eyePos = cameraPosition();
    toEye = eyePos - worldPos;
    lampFromEye = lampPosition() - eyePos;
    // A little thinner than the rock's own: the far wall stays in view, not a disc of haze. It
    // changes slowly enough over the grid's cells to be worked out at their corners.
    fog = 1.0 - exp(-pow(length(toEye) * 0.5 * fog_scale / 100.0, fog_falloff));
    gl_Position = matrix * vec4(worldPos, 1.0);
}
#endif

#ifdef fragmentcompile
UNIT(0) uniform sampler2D tex;
uniform vec3 fog_color;

in vec3 worldPos;
in vec2 wallUv;
in vec2 radialDir;
in vec3 toEye;
flat in vec3 lampFromEye;
in float heave;
in vec3 tint;
in float fog;
out vec4 fragColor;

const float kTextureScale = 1.0 / 112.0;
const vec3 kLuma = vec3(0.3, 0.55, 0.15);
const vec3 kRockTone = vec3(0.447, 0.337, 0.259);  // the cliff image's mean
const float kShadeRelief = 1.3;                    // the wall's bumps as the light sees them
// The rock is hewn into courses of blocks: bed joints round the tube (per wall unit along it:
// their spacing's inverse), and in each course head joints along it, staggered from one course to
// the next. Round the tube (its 396 wall units) a course holds a whole number of blocks, and
// everything about a block repeats with that count, so the wall's two long edges meet without a
// seam.
const float kCourse = 0.036;
const float kBlocksRound = 12.0;
const vec2 kJointsA = vec2(kCourse, 0.0);
const vec2 kJointsB = vec2(0.0, kBlocksRound / 396.0);
// From the blocks' numbers in the two sets to their corners on the wall.
const mat2 kBlockCorner = mat2(1.0 / kCourse, 0.0, 0.0, 396.0 / kBlocksRound);
// The blocks' faces are flat in the middle and fall away to their joints as 1 - x^4 across a
// block: hewn stone with worn arrises, not cushions.
const float kBulge = 22.0;  // the slope at the edges

// Bilinear filtering done here from four texels. Seen down the tube the walls are so oblique that
// some rasterizers' anisotropic filtering, with no smaller levels to fall back on, walks thousands
// of texels per pixel; four fetches cost the same everywhere.
vec3 bilinear(sampler2D image, vec2 uv, out vec2 gradient)
{
    ivec2 size = max(textureSize(image, 0), ivec2(1));
    // Wrapped first (the cell is then -1 to size - 1): no division per lane.
    vec2 p = fract(uv) * vec2(size) - 0.5;
    vec2 cell = floor(p);
    vec2 f = p - cell;
    ivec2 i = min(ivec2(cell), size - 1);
    i = ivec2(i.x < 0 ? size.x - 1 : i.x, i.y < 0 ? size.y - 1 : i.y);
    ivec2 j = i + 1;
    j = ivec2(j.x < size.x ? j.x : 0, j.y < size.y ? j.y : 0);
    vec3 a = texelFetch(image, i, 0).rgb;
    vec3 b = texelFetch(image, ivec2(j.x, i.y), 0).rgb;
    vec3 c = texelFetch(image, ivec2(i.x, j.y), 0).rgb;
    vec3 d = texelFetch(image, j, 0).rgb;
    // The brightness slope of the patch between the four texels, per texture unit.
    float la = dot(a, kLuma), lb = dot(b, kLuma), lc = dot(c, kLuma), ld = dot(d, kLuma);
    gradient = vec2(mix(lb - la, ld - lc, f.y), mix(lc - la, ld - lb, f.x)) * vec2(size);
    return mix(mix(a, b, f.x), mix(c, d, f.x), f.y);
}

// The picture at this pixel, going into its mean where a pixel would cover more than a few texels
// (seen down the tube the walls are oblique, and one lookup would skip texels: shimmer). The
// brightness slope of the lookup's patch (per texture unit) is the relief: slopes from screen
// derivatives would differ with each GPU's way of taking them. The blocks' picture is drawn large
// enough that one lookup serves where two along the footprint were needed before.
vec3 filtered(sampler2D image, vec2 uv, vec2 du, vec2 dv, vec3 mean, out vec2 slope,
              out float texels)
{
    float size = float(textureSize(image, 0).x);
    vec3 a = bilinear(image, uv, slope);
    texels = max(length(du), length(dv)) * size;
    return mix(a, mean, smoothstep(1.5, 5.0, texels));
}

// cos within a percent of its swing, for the shading slopes: the exact one is several times dearer
// per pixel on a CPU rasterizer. Each half turn a smoothstep.
vec4 roughCos(vec4 x)
{
    vec4 v = abs(1.0 - 2.0 * fract(x * 0.15915494));
    return 2.0 * v * v * (3.0 - 2.0 * v) - 1.0;
}

float roughCos(float x)
{
    float v = abs(1.0 - 2.0 * fract(x * 0.15915494));
    return 2.0 * v * v * (3.0 - 2.0 * v) - 1.0;
}

// A block's rock: one bed of sandstone, from pale buff through ochre to a deeper brown, with here
// and there a greyer, limier stone of the same bed. Warm and cool come from the light, not from
// the stone.
vec3 rockColor(float kind)
{
    float k = fract(0.618034 * kind + 0.3);  // steps of the golden ratio: the kinds spread evenly
    vec3 sandstone = mix(vec3(1.12, 0.98, 0.8), vec3(0.98, 0.74, 0.54), k);
    return mix(sandstone, vec3(0.86, 0.86, 0.88) * (0.85 + 0.3 * k), step(0.6, k));
}

void main()
{
    // The lumps' slopes: each wave's cosine.
    vec4 lumpCos = roughCos(lumpPhases(wallUv));
    // Footprints first, while every pixel of the quad is still on the same path.
    // The rock broken into blocks along straight joints: joints bent by the lumps rippled as the
    // courses slid past.
    vec2 wall = wallUv;
    // Unevenly sized: courses of uneven height, and blocks of uneven length that crowd together
    // and spread apart round each course its own way.
    float jointA = dot(wall, kJointsA);
    jointA += 0.2 * sin(0.9 * jointA);
    float blockA = floor(jointA);
    float jointB = dot(wall, kJointsB);
    // Its steps per pixel before the stagger, which leaps at every bed joint.
    vec2 jointStep = vec2(abs(dFdx(jointA)) + abs(dFdy(jointA)), abs(dFdx(jointB)) + abs(dFdy(jointB)));
    jointB += 0.25 * sin(2.0 * kPi * 2.0 / kBlocksRound * jointB + 2.4 * blockA) + fract(0.618034 * blockA);
    float blockB = floor(jointB);
    // Once round the tube a block's number in its course grows by kBlocksRound: the block's key
    // only from what that leaves alone.
    float block = fract(0.618034 * mod(blockB, kBlocksRound) + 0.7548777 * blockA);
    // Each block is cut from its own part of the picture, its layers lying along the course as
    // they lay in the quarry, mirrored on some blocks, so they never run on from one block to the
    // next.
    mat2 turn = mat2(0.0, 1.0, fract(3.1 * block) < 0.5 ? -1.0 : 1.0, 0.0);
    vec2 local = wallUv - kBlockCorner * vec2(blockA, blockB);
    vec2 uv = turn * local * kTextureScale;
    vec2 du = turn * dFdx(wallUv) * kTextureScale, dv = turn * dFdy(wallUv) * kTextureScale;
    float texels;
    vec2 slope;
    vec3 rock = filtered(tex, uv + vec2(block, fract(7.13 * block)), du, dv, kRockTone, slope, texels);
    float detail = 1.0 - smoothstep(2.0, 8.0, texels);
    float h = dot(rock, kLuma);

    float eyeDistance = length(toEye);
    vec3 eyeDir = toEye / eyeDistance;

    // The lumps from their formula, smooth per pixel whatever the grid: the slopes of the radius
    // round the tube and along it.
    vec4 lumpSlope = kShadeRelief * kLumpDepth * kLumpHeight * lumpCos;
    float slopeRound = -dot(lumpSlope, kLumpTurns) / kRadius;
    float slopeAlong = -dot(lumpSlope, kLumpAlong);
    // Each block a face of its own, tilted its own way.
    slopeRound += 0.5 * fract(3.7 * block) - 0.25;
    slopeAlong += 0.5 * fract(11.3 * block) - 0.25;
    // The interpolated direction is short of unit length by about a percent between the grid's
    // corners; the normal is normalized once at the end.
    vec3 radial = vec3(radialDir, 0.0);
    vec3 around = vec3(-radialDir.y, radialDir.x, 0.0);
    // The rock's own relief from the picture's brightness slope (per texture unit: along the tube
    // per 1 / kLength, round it per kRadius * kAround), its dark cracks about a unit deep.
    slope = slope * turn;  // back to the wall's own axes
    // Each block rounds off towards its joints; flat where the blocks shrink to a few pixels.
    float blockSize = max(jointStep.x, jointStep.y);
    vec2 inJoint = fract(vec2(jointA, jointB));
    vec2 across = 2.0 * inJoint - 1.0;
    float bulge = kBulge * (0.4 + 0.9 * fract(7.7 * block)) * (1.0 - smoothstep(0.05, 0.2, blockSize));
    vec2 rounding = -bulge * across * across * across;
    vec2 wallSlope = 0.4 * detail * kTextureScale * slope + rounding.x * kJointsA + rounding.y * kJointsB;
    vec2 reliefSlope = vec2(wallSlope.x / kLength, wallSlope.y / (kRadius * kAround));
    // The bumps' normal, unit length (radial, around and the axis are at right angles), tilted
    // by the relief.
    float unit = inversesqrt(1.0 + slopeRound * slopeRound + slopeAlong * slopeAlong);
    vec3 n = (slopeRound * unit - reliefSlope.y) * around - unit * radial;
    n.z = slopeAlong * unit - reliefSlope.x;
    n = normalize(n);
    if (dot(n, toEye) < 0.0) n = -n;

    // Moss settles in the dark cracks and hollows, greener on some blocks than on others. (A
    // picture of it here would cost the wall nearly a tenth of its time.)
    vec3 mossColor = mix(vec3(0.2, 0.3, 0.12), vec3(0.34, 0.34, 0.2), fract(4.3 * block));
    float mossAmount = 1.0 - smoothstep(0.16, 0.3, h + 0.2 * (mossColor.g - 0.4));
    vec3 albedo = mix(rock, mossColor * vec3(0.75, 0.95, 0.6), 0.45 * mossAmount);
    // Each block in its own rock's colour and shade, gone into their mean where the blocks shrink
    // to a few pixels; the picture's own layers only faintly. The joints between them are dark
    // cracks a pixel or more wide, which every block's colour meets, so that it never steps from
    // one pixel to the next; gone where they thin below a pixel.
    // Two by two blocks are of the same rock, so it changes over patches rather than block by
    // block like a quilt.
    vec2 cluster = floor(0.5 * vec2(blockA, blockB));
    float kind = 0.618034 * mod(cluster.y, 0.5 * kBlocksRound) + 0.7548777 * cluster.x;
    vec3 blockColor = rockColor(floor(7.0 * fract(kind))) * (0.8 + 0.35 * fract(5.17 * block));
    blockColor = mix(blockColor, vec3(0.86, 0.78, 0.7), smoothstep(0.05, 0.2, blockSize));
    // Open joints, dark to the back, a few hundredths of a block wide and never under a pixel.
    vec2 jointPixels = (min(inJoint, 1.0 - inJoint) - 0.025) / max(jointStep, 1e-3);
    float joint = (1.0 - smoothstep(-0.5, 1.5, min(jointPixels.x, jointPixels.y))) * (1.0 - smoothstep(0.1, 0.3, blockSize));
    blockColor = mix(blockColor, vec3(0.06, 0.05, 0.045), joint);
    float shade = mix(0.36, dot(albedo, kLuma), 0.45);
    albedo = mix(vec3(shade), albedo, 0.3) * blockColor * mix(vec3(0.9), tint, 0.3);

    // The circling lamp, warm, throwing a pool of light where it passes; a dim lamp at the
    // camera and the haze's own glow fill the rest. All of it flares a little on the beat.
    float hit = (1.0 - saw) * (1.0 - saw);
    float accent = kick == 0.0 ? 1.0 : 0.55;
    vec3 toLamp = lampFromEye + toEye;
    float lampDistance = length(toLamp);
    float pool = 1.0 / (1.0 + lampDistance * lampDistance / 900.0);
    float key = max(dot(n, toLamp / lampDistance), 0.0) * pool;
    float head = max(dot(n, eyeDir), 0.0) * 2.0 / (1.0 + eyeDistance * eyeDistance / 900.0);
    // Warm where the lamp reaches, cool in the shade, where a grey fill keeps it rock rather than
    // mud.
    vec3 light = vec3(3.1, 2.5, 1.85) * key * (1.0 + 0.4 * hit * accent)
               + vec3(0.55, 0.64, 0.85) * head + vec3(0.1, 0.13, 0.2)
               + vec3(0.1, 0.1, 0.13) * (1.0 - smoothstep(0.0, 0.4, key));
    // Lava glows at both closed ends: the last stretches of the tube are lit from there, each
    // block's face by how it is turned towards it, the joints dark, so the depth reads as a lit
    // hole. Only the faces' broad tilt: the fine relief meets this light so obliquely that it
    // would break into speckled patches.
    float depth = smoothstep(25.0, 105.0, abs(worldPos.z));
    float endAlong = sign(worldPos.z) * 118.0 - worldPos.z;
    float endFacing = unit * (length(worldPos.xy) + slopeAlong * endAlong);
    light += vec3(2.5, 1.5, 0.75) * (depth * max(endFacing, 0.0) * inversesqrt(dot(worldPos.xy, worldPos.xy) + endAlong * endAlong));
    vec3 color = albedo * light;
    // Wet: the lamp glances off the blocks' faces, off some more than others.
    vec3 halfway = normalize(toLamp / lampDistance + eyeDir);
    float gloss = max(dot(n, halfway), 0.0);
    gloss *= gloss;
    gloss *= gloss;  // ^4: a broad sheen, as on damp stone, not a metal's glint
    // None down in the joints, where the faces' worn edges turn steeply away.
    color += vec3(1.0, 0.85, 0.6) * (0.6 * gloss * pool * fract(2.9 * block) * (1.0 - joint));

    // Embers: the cracks (the dark lines of the rock) glow on every beat, hardest on the bar's
    // first, and a little all the time once the walls heave.
    float crack = 1.0 - smoothstep(0.12, 0.24, h);
    float ember = crack * detail * ((0.8 + 0.1 * bounce) * hit * accent + 0.35 * max(heave, 0.0));
    color += vec3(1.0, 0.38, 0.1) * ember;
    // On the bar's first beat a ring of ember light leaves the rock both ways and runs the length
    // of the tube over the next two beats, fading as it goes and flaring in the joints it
    // crosses; the other beats send a shorter, fainter one. The beat shows wherever the camera
    // looks.
    float sinceBar = kick + saw;
    float pulseOff = (abs(worldPos.z) - 6.0 - 45.0 * sinceBar) / (4.0 + 3.0 * sinceBar);
    float pulse = 1.5 * exp(-0.7 * sinceBar - pulseOff * pulseOff);
    float ringOff = (abs(worldPos.z) - 6.0 - 70.0 * saw) / (3.0 + 6.0 * saw);
    float ring = kick == 0.0 ? 0.0 : 0.6 * hit * exp(-ringOff * ringOff);
    color += vec3(1.0, 0.5, 0.2) * ((pulse + ring) * (0.4 + 0.6 * h) + 1.5 * pulse * joint);

    // The closed ends show their rock curving in, blocks shrinking towards the axis like more tube
    // going back; only their last few units, where the coarse grid would show a many-sided rim,
    // sink into the daylight.
    float ends = smoothstep(170.0 * kLength, 196.0 * kLength, abs(worldPos.z));
    // The haze down the tube is lit from its open ends: warm and bright towards the axis, the
    // fog colour towards the walls, so the far end reads as daylight rather than a dark disc.
    vec3 ray = -eyeDir;
    float down = ray.z * ray.z;
    down *= down;
    down *= down;
    down *= down;
    down *= down;  // ^32: a small bright opening
    // The dusk red of the fog greyed a little along the walls, so the depth reads as air, not as
    // more of the same rust.
    // Darker with distance, so the far tube reads as depth rather than a flat glow.
    vec3 dusk = fog_color * vec3(0.6, 0.6, 0.7);
    vec3 haze = dusk * (1.0 - 0.55 * depth);
    haze = mix(haze, vec3(0.95, 0.62, 0.38), 0.8 * down * down);
    color = mix(color, haze, clamp(fog, 0.0, 1.0));
    // Every second bed joint down the tube is a ring of lamplight set in the rock, riding along
    // with it: far off the rings crowd together and dim into the haze. Drawn a pixel wide at
    // least, dimmer as they widen (the same light in all), and gone before they crowd closer
    // than a pixel or two.
    float fromRing = 2.0 * abs(fract(0.5 * jointA + 0.5) - 0.5);
    float ringWidth = max(jointStep.x, 0.05);
    float lampRing = 0.05 / ringWidth * exp(-fromRing * fromRing / (ringWidth * ringWidth))
                   * (1.0 - smoothstep(0.2, 0.5, jointStep.x));
    color += vec3(1.0, 0.62, 0.3) * (2.0 * lampRing * depth * (1.0 - 0.7 * clamp(fog, 0.0, 1.0)));
    // The closed ends are where the daylight comes in: brightest at the axis and fading out to
    // the fog a third of the way to the rim, an opening rather than a flat disc.
    float rimOfEnd = sqrt(smoothstep(0.0, 0.45, length(worldPos.xy) / kRadius));
    color = mix(color, mix(vec3(1.0, 0.72, 0.45), haze, rimOfEnd), ends);

    // The lamp seen through the haze: light scattered nearest to it along this pixel's ray.
    float along = clamp(dot(lampFromEye, ray), 0.0, eyeDistance);
    float miss = length(ray * along - lampFromEye);
    color += vec3(1.0, 0.75, 0.45) * (exp(-miss * miss * 0.6) + 0.35 / (1.0 + miss * miss));
    // A soft shoulder: light above 0.75 rolls off towards white instead of clipping, so the lamp's
    // flare over the bright opening keeps its shape and only its core is white.
    vec3 over = max(color - 0.75, 0.0);
    color = min(color, 0.75) + 0.25 * over / (over + 0.25);
    fragColor = vec4(color, 1.0);
}
#endif
