// Stone: the cave's walls, courses of bevelled blocks of one warm sandstone (pale limestone, grey
// stone, ochre) with moss on the ledges and in the joints. Two lights: the warm lamp of the cave
// at "lightpos" (its reach "lightradius" and "falloff"), which flares on the beat and glows in the
// air around it, and the key light: the camcorder's own lamp, a cone along the view from just
// beside the lens, bright on the near rock and falling off fast, so nearness reads as brightness.
// Edges seen against the lamp catch its rim. The air darkens with distance, glowing round the
// lamp, and at the far plane sinks into "fog_color", the clear colour, so the shaft's far end
// never ends in a cut-out (or, seen from above the lamp, into its glow). The mesh is +z up.
//
// Everything that changes slowly over a wall (the lights' reach, the air, the mineral colour and
// the moss) is worked out at the vertices; the pixels draw the blocks and their relief only. The
// brick image the scene binds is left to the boulder: looked up per pixel over the whole shaft its
// texels, mostly missing the cache, cost more than the rest of the walls' shading together.
uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;
uniform sampler2D moss;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;
uniform vec3 fog_color;

const float kBrickScale = 0.045;  // one brick image every 22 units: courses about 3.7 units high

// Brick laid on the plane the wall faces most; courses run level (along z) on the walls. Taking
// the plane the normal is closest to keeps the stretch of a slanted face small; selected, not
// branched on, since shader cores (and llvmpipe) run both sides of a branch whenever
// neighbouring pixels differ.
vec2 brickPlane(vec3 p, vec3 a)
{
    bool alongX = a.x >= a.y && a.x >= a.z;
    bool alongY = !alongX && a.y >= a.z;
    return alongX ? p.yz : alongY ? p.xz : p.xy;
}

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec3 worldNormal;
out vec3 lampLight;  // the cave lamp's light where it reaches here, times the exposure
out vec3 keyLight;   // the same for the camcorder's lamp, in its cone
out vec4 air;        // the mist's colour, and how much of the wall it hides
out vec4 mineral;    // the rock's tint, and its moss cover
out vec2 around;     // the offset from the shaft's centre line, across it
out float streak;    // how damp the wall is here
out float flare;     // the lamp's flare on the beat, seen round it
flat out vec3 eyePos;
flat out vec3 keyPos;
flat out vec3 ambient;

// The camera in model space: the point whose clip-space x, y and w all vanish.
vec3 cameraPosition()
{
    vec4 r0 = vec4(matrix[0][0], matrix[1][0], matrix[2][0], matrix[3][0]);
    vec4 r1 = vec4(matrix[0][1], matrix[1][1], matrix[2][1], matrix[3][1]);
    vec4 r3 = vec4(matrix[0][3], matrix[1][3], matrix[2][3], matrix[3][3]);
    return inverse(transpose(mat3(r0.xyz, r1.xyz, r3.xyz))) * -vec3(r0.w, r1.w, r3.w);
}

// The direction along which clip x and y stay 0 and w grows: where the camera looks.
vec3 cameraDirection()
{
    vec3 r0 = vec3(matrix[0][0], matrix[1][0], matrix[2][0]);
    vec3 r1 = vec3(matrix[0][1], matrix[1][1], matrix[2][1]);
    vec3 r3 = vec3(matrix[0][3], matrix[1][3], matrix[2][3]);
    vec3 d = normalize(cross(r0, r1));
    return dot(r3, d) < 0.0 ? -d : d;
}

// Light scattered by the air between the eye and the wall from a point lamp: the integral of
// 1 / distance^2 along the ray.
float airGlow(vec3 eye, vec3 dir, float len, vec3 lamp)
{
    vec3 toLamp = lamp - eye;
    float along = dot(toLamp, dir);
    float miss = max(length(toLamp - along * dir), 0.5);
    return (atan((len - along) / miss) + atan(along / miss)) / miss;
}

// The moss image's green, bilinear, wrapping: large patches of growth.
float mossCover(vec2 uv)
{
    ivec2 size = max(textureSize(moss, 0), ivec2(1));
    vec2 texel = uv * vec2(size) - 0.5;
    vec2 f = fract(texel);
    ivec2 mask = size - 1;
    ivec2 a = ivec2(floor(texel)) & mask;
    ivec2 b = (a + 1) & mask;
    float g00 = texelFetch(moss, a, 0).g, g10 = texelFetch(moss, ivec2(b.x, a.y), 0).g;
    float g01 = texelFetch(moss, ivec2(a.x, b.y), 0).g, g11 = texelFetch(moss, b, 0).g;
    return mix(mix(g00, g10, f.x), mix(g01, g11, f.x), f.y);
}

// Mineral colour in broad patches that wander over the walls, all of one warm sandstone: pale
// limestone, grey stone and ochre, near enough in hue that the lamp's light, not the rock's
// colour, says where the eye is.
vec3 mineralTint(vec3 p)
{
    float a = sin(0.07 * p.x + 0.05 * p.z + 0.4) * sin(0.06 * p.y - 0.045 * p.z + 1.1);
    float b = sin(0.05 * p.x - 0.08 * p.y + 0.03 * p.z + 2.0) + 0.5 * sin(0.13 * p.z + 0.9);
    vec3 tint = mix(vec3(0.84, 0.8, 0.76), vec3(1.0, 0.93, 0.82), smoothstep(-0.3, 0.5, a));
    return mix(tint, vec3(1.06, 0.8, 0.55), 0.6 * smoothstep(0.6, 1.2, b));
}

// The shaft's centre line at height z, as the cave mesh was built round it.
vec2 shaftCentre(float z)
{
    float x = 1.0 + 0.00045 * z * z + 4.0 * sin(0.036 * z + 0.7) + 1.5 * sin(0.087 * z + 2.1);
    return vec2(x, 4.5 + 2.0 * sin(0.027 * z + 1.9));
}

// How far the wall lies beyond the shaft's smooth, lobed section at height z (negative where it
// bulges in), the cave mesh's own shape before its relief.
float hollowDepth(vec2 offset, float z)
{
    vec2 d = vec2(offset.x / 1.2, offset.y);
    float angle = atan(d.y, d.x);
    float radius = 24.5 + 5.0 * sin(0.06 * z + 0.4) + 2.0 * sin(0.13 * z + 1.3) +
                   8.0 * exp(-z * z / 900.0);
    float lobes = 1.0 + 0.1 * sin(3.0 * angle + 0.05 * z) + 0.06 * sin(5.0 * angle - 0.031 * z + 1.0);
    return length(d) - radius * lobes;
}

void main()
{
    vec3 p = position.xyz;
    worldPos = p;
    around = p.xy - shaftCentre(p.z);
    worldNormal = normal;
    eyePos = cameraPosition();
    vec3 viewDir = cameraDirection();
    keyPos = eyePos + 3.0 * normalize(cross(viewDir, vec3(1.0, 0.0, 0.0)) + vec3(0.0, 0.0, 1e-3));

    // The cave's lamp: warm, flickering a little like a flame, flaring on every beat (most on the
    // bar's first) and burning up over the last beat, when the camcorder zooms in. The flicker's
    // sines take small arguments only (the clock as whole turns, or the scene's seconds), which
    // agree on every GPU.
    float flame = 6.2831853 * fract(1.1140846 * t);  // 7 rad/s
    float flicker = 0.92 + 0.08 * sin(flame + 3.0 * sin(1.3 * t_scene)) * sin(3.1 * t_scene);
    // The flare is a punch round the lamp that dies away smoothly over a quarter beat (some five
    // frames at 60 a second): gone in two or three frames it read as flicker, not as a hit.
    float decay = clamp(1.0 - 3.5 * saw, 0.0, 1.0);
    float punch = decay * decay * (kick == 0.0 ? 1.0 : 0.55);
    // High above the lamp its flare is hardest: nearer, the lamp's light fills the picture.
    float above = smoothstep(30.0, 90.0, length(eyePos - lightpos));
    float pulse = 1.0 + (0.1 + 0.2 * above) * punch;
    float finale = clamp(beats - 287.0, 0.0, 1.0);
    // Over the sixteen bars down the shaft the lamp burns from a pale yellow to a deep amber, and
    // its glow in the air grows as the camcorder nears it.
    float journey = clamp((beats - 224.0) / 64.0, 0.0, 1.0);
    float early = 1.0 - step(240.0, beats);  // until bar 60, high above the lamp
    // On the downbeat of bar 60, where the second half of the descent begins, the lamp catches:
    // it surges and dies back over a beat, and burns a little brighter from then on.
    float caught = step(240.0, beats);
    float surge = caught * exp2(-3.0 * (beats - 240.0));
    vec3 lampColor = mix(vec3(1.9, 1.5, 0.95), vec3(2.4, 1.25, 0.45), journey) * flicker *
                     (0.88 + 0.12 * caught) * (1.0 + 1.5 * finale);
    // Reaching a little beyond its radius, so the shaft's far ends keep a trace of it; from far
    // off (the first bars) further and stronger, so the walls warm towards it, leading the eye
    // down the shaft, instead of lying grey and murky between the two lights.
    float lightDistance = length(lightpos - p);
    float reach = pow(clamp(1.0 - lightDistance / lightradius, 0.0, 1.0), falloff);
    float carry = (0.5 + 0.8 * above) / (1.0 + lightDistance * lightDistance / 3600.0);
    // The flare burns hottest on the walls near the lamp, so the beat strikes there, not over the
    // whole picture: the light it carries further keeps its strength.
    float lampReach = reach * (1.0 + 1.0 * punch + 2.0 * surge) * pulse + carry;

    // The key light: bright close by, falling off fast, strongest in its cone along the view but
    // wide enough to keep the near walls at the picture's edges readable.
    vec3 toEye = eyePos - p;
    float eyeDistance = length(toEye);
    vec3 v = toEye / max(eyeDistance, 1e-4);
    float cone = smoothstep(0.8, 0.97, dot(-v, viewDir));
    vec3 toKey = keyPos - p;
    float near = 1.0 / (1.0 + dot(toKey, toKey) / 110.0);
    // Its light levels off on rock within arm's reach, which it bleached to a flat cream.
    float keyReach = (4.5 + 2.0 * above) * near / (1.0 + 0.8 * near) * (0.45 + 0.55 * cone);

    // Exposure: coming out of the black the camcorder opens up wide and settles over the first
    // bar, so the shaft is seen at once; high above the lamp, where little of its light comes
    // back, it opens wider, so the first bars read on a projector. Carried by the lights, times
    // log2(e) for exp2.
    float iris = 1.0 + 1.4 * above;
    float exposure = 1.4426950 * 3.0 * iris * (1.0 + 1.0 * (1.0 - smoothstep(0.3, 3.5, t_scene)));
    // Far below the lamp, the shaft's floor lies in a pool of cold light (daylight come down a
    // side passage), so looking down the shaft ends on a lit floor, not a void. It shows once the
    // camcorder is down by the lamp: from high above, near the floor's light, its cold hue on the
    // nearest walls fought the lamp's.
    vec3 floorCentre = vec3(shaftCentre(-128.0), -128.0);
    vec3 toFloor = p - floorCentre;
    float pool = smoothstep(60.0, 120.0, distance(eyePos, floorCentre)) /
                 (1.0 + dot(toFloor, toFloor) / 900.0);
    // Hollows in the wall (flutes, the gaps between bands) lie in their own shadow and bulges
    // stand out lit, so the rock's forms read as rock; what juts far into the shaft (ledges,
    // stalactites) falls darker again, into a foreground silhouette, since its jagged lips
    // caught the light as pale, torn-looking shards.
    float hollow = hollowDepth(around, p.z);
    float shade = mix(1.4, 0.5, smoothstep(-3.5, 2.5, hollow)) *
                  mix(1.0, 0.3, smoothstep(-5.0, -10.0, hollow));
    lampLight = shade * exposure *
                (lampColor * lampReach + vec3(0.62, 0.76, 0.95) * 0.5 * pool * pool);
    keyLight = shade * exposure * vec3(1.0, 0.93, 0.82) * keyReach;
    ambient = exposure * vec3(0.07, 0.08, 0.11);
    // The camcorder holds the strongest light back: above a knee the light grows ever more
    // slowly towards a ceiling, so the walls by the lamp keep their blocks' tones, bevels and
    // joints (the rock's colour and the pixels' shading still multiply it) instead of burning out
    // to a flat cream. High above the lamp, where the camcorder opens up to see the shaft at all,
    // the knee lies higher.
    float level = dot(lampLight + keyLight, vec3(0.3, 0.59, 0.11));
    // Until bar 60 the walls round the lamp far below keep the low knee, so their light grades
    // round its hot core instead of burning out into a flat disc.
    float kneeUp = 3.5 * above * (1.0 - early * (1.0 - smoothstep(20.0, 50.0, lightDistance)));
    float over = max(level - 2.5 - kneeUp, 0.0);
    float held = 1.0 - over * over / ((over + 3.0) * max(level, 1e-4));
    lampLight *= held;
    keyLight *= held;

    // The air: a dark mist thickening with distance, so the walls fall off into the dark between
    // the camcorder's light and the lamp's; around the lamp it glows warm. At the far plane
    // everything sinks into the clear colour.
    // Thicker far from the lamp, where the camcorder's own light is all there is nearby.
    float haze = (0.65 + 0.15 * above) * (1.0 - exp(-eyeDistance * (0.011 + 0.006 * above)));
    vec3 mist = vec3(0.02, 0.018, 0.02);
    vec3 toLamp = lightpos - eyePos;
    float behind = eyeDistance - dot(toLamp, -v);
    float halo = airGlow(eyePos, -v, eyeDistance, lightpos);
    halo *= 1.0 - smoothstep(10.0, 50.0, behind);
    // It stays a glow round the lamp: grown thicker over the descent it hazed the whole picture
    // beige over the last bars.
    // High up the shaft (until bar 60) it rolls off instead of levelling at a ceiling, so the
    // glow keeps a hot core and a gradient round it rather than a flat disc.
    float glowing = halo * halo * 0.15;
    glowing = mix(min(glowing, 0.6), 0.3 * glowing / (0.5 + glowing), early);
    mist += vec3(1.0, 0.55, 0.25) * glowing * (lampColor.g * pulse);
    // On the beat the lamp flares in the lens: a burst round it, gone within a quarter beat.
    float toward = max(dot(-v, normalize(toLamp)), 0.0);
    toward *= toward;
    toward *= toward;
    toward *= toward;
    float wide = toward;  // cos^8
    toward *= toward;
    // cos^32: some 12 degrees to half.
    flare = ((0.5 + 0.4 * above) * punch + 0.5 * surge) * toward * toward;
    // Until bar 60, high above, it burns as a hot core in a gradient (cos^64, softer): added on
    // the already bright glow, the wider burst clipped it into a flat disc on every beat.
    flare *= mix(1.0, 0.5 * toward, early);
    // Seen from high above, the shaft beyond the lamp glows in its light: the far end of the gut
    // is a warm opening, the goal of the descent, rather than the cold clear colour. The rock
    // sinks into the glow over a long stretch, its bulges lit and its hollows dark, and dimmer
    // the deeper it lies: a lit lip and the shaft going on below it, where one flat colour read
    // as a cut-out blob.
    float opening = (1.0 - step(0.0, eyePos.z)) * wide;
    float far = smoothstep(mix(160.0, 110.0, opening), 195.0, eyeDistance);
    float deep = 1.0 - 0.25 * smoothstep(150.0, 200.0, eyeDistance);
    vec3 glow = vec3(0.5, 0.24, 0.08) * shade * deep *
                (lampColor.g * pulse * (0.3 * wide + 1.3 * toward * toward));
    vec3 farColor = mix(fog_color, glow, opening);
    air = vec4(mix(mist, farColor, far), mix(haze, 1.0, far));
    // Seen from above the lamp, the shaft below it is a pit: the walls beyond its lip (further
    // than the lip's ring lies from the eye) sink at once into the dust of the shaft, so the lip
    // stands as a clean edge, not a grey ghost of the far walls in the mist. Just past the lip
    // that dust lies black in its shadow; deeper it glows warm in the lamp's light, brightest in
    // the pit's middle, where the eye looks deepest, and the far walls' courses show faintly
    // through it. On each beat a pulse of light rises from the depth to the lip over half the
    // beat, hardest on the bar's first.
    float lip = length(vec2(eyePos.z + 8.0, 40.0));
    float sunk = smoothstep(2.0, 14.0, eyePos.z) * smoothstep(-4.0, -12.0, p.z) *
                 smoothstep(lip, lip + 8.0, eyeDistance);
    float depth = clamp((eyeDistance - lip) / 110.0, 0.0, 1.0);
    float rising = (depth - 1.0 + 2.2 * saw) * 3.0;
    rising = max(1.0 - rising * rising, 0.0) * clamp(1.0 - 2.0 * saw, 0.0, 1.0);
    vec3 pitCentre = vec3(shaftCentre(-70.0), -70.0);
    float centred = smoothstep(0.82, 1.0, dot(-v, normalize(pitCentre - eyePos)));
    float dust = smoothstep(0.02, 0.3, depth) * (0.25 + 0.75 * centred * centred);
    vec3 pitGlow = vec3(0.4, 0.2, 0.07) * lampColor.g * dust *
                   (1.0 + (kick == 0.0 ? 0.9 : 0.45) * rising);
    // Until bar 60 the dust is thinner, so the far walls' courses give the glow its structure.
    air = mix(air, vec4(mist + pitGlow * (1.0 - 0.3 * early), 0.82 - 0.22 * early), sunk * (1.0 - 0.6 * early));

    // Moss where faces turn up and the moss image grows, in patches a few units across.
    vec3 an = abs(normal);
    float growth = mossCover(0.4 * brickPlane(kBrickScale * p, an) + vec2(0.31, 0.17));
    float cover = smoothstep(0.35, 0.6, growth) * smoothstep(0.1, 0.7, normal.z);
    // The stone's colours a little louder than the minerals' own, so the shaft is not drab.
    vec3 tint = mineralTint(p);
    mineral = vec4(max(mix(vec3(dot(tint, vec3(0.3, 0.59, 0.11))), tint, 1.5), 0.0), cover);
    // Damp streaks run down from where water seeps in, in columns round the shaft (whole turns,
    // so the way round closes) that start and stop at their own heights.
    float turn = atan(around.y, around.x);
    float column = sin(20.0 * turn + 1.5 * sin(9.0 * turn));
    streak = smoothstep(0.2, 0.95, column) * smoothstep(-0.2, 0.8, sin(0.09 * p.z + 2.0 * column));
    gl_Position = matrix * position;
}
#endif

#ifdef fragmentcompile
in vec3 worldPos;
in vec3 worldNormal;
in vec3 lampLight;
in vec3 keyLight;
in vec4 air;
in vec4 mineral;
in vec2 around;
in float streak;
in float flare;
flat in vec3 eyePos;
flat in vec3 keyPos;
flat in vec3 ambient;
out vec4 fragColor;

const vec2 kBlock = vec2(6.0, 3.0);  // a block's length and height, in units
const float kJoint = 0.14;           // half a joint's width
const float kBevel = 0.7;            // how far from the joint a block's face rounds off
const float kRound = 28.647890;      // 30 blocks round the shaft: 30 * 6 / (2 pi)

// A cheap stand-in for a sine, x in turns: parabolas, -1 to 1.
float wave(float x)
{
    float f = fract(x);
    return 8.0 * f * (1.0 - f) - 1.0;
}

float across(vec2 a, vec2 b)
{
    return a.x * b.y - a.y * b.x;
}

// Integer hash of a block, 0 to 1: the same on every GPU, unlike a sine of large numbers.
float blockHash(vec2 cell)
{
    uvec2 c = uvec2(ivec2(cell) + 65536);
    uint h = c.x * 1973u + c.y * 9277u;
    h = (h ^ (h >> 13u)) * 0x5bd1e995u;
    h ^= h >> 15u;
    return float(h & 0xffffu) / 65535.0;
}

// A slope in the blocks' plane, turned into the layout's axes (out, round, up).
vec3 planeSlope(vec2 slope, vec3 a)
{
    bool alongX = a.x >= a.y && a.x >= a.z;
    bool alongY = !alongX && a.y >= a.z;
    return alongX ? vec3(0.0, slope) : alongY ? vec3(slope.x, 0.0, slope.y) : vec3(slope, 0.0);
}

void main()
{
    // The blocks follow the shaft round: laid out over the distance from its centre line, the
    // way round it and the height, on the two of these the face runs along most. The walls,
    // which face the centre line, keep one layout however their relief turns, so courses run
    // on unbroken over the bulges instead of switching between flat projections.
    vec3 n = worldNormal;  // near enough unit: the relief below is normalized
    float e = max(length(around), 1e-3);
    vec3 radial = vec3(around / e, 0.0);
    vec3 tangent = vec3(-radial.y, radial.x, 0.0);
    // Facing the centre line wins unless the face plainly runs out or round instead: a slanted
    // ridge on a wall keeps the wall's courses, slightly stretched, rather than breaking into
    // shards of another layout wherever its slope tips past 45 degrees. The walls' bulges and
    // bands keep it up to some 60 degrees: an island of another layout, ringed by the dark melt
    // below, read there as a see-through ghost of the wall lying over it.
    vec3 axes = abs(vec3(dot(n, radial), dot(n, tangent), n.z));
    vec3 an = axes * vec3(1.0, 0.6, 0.5);
    // Shifted so that each layout's blocks are offset against the others' where they meet.
    vec3 c = vec3(e + 2.3, kRound * atan(around.y, around.x), worldPos.z);
    vec2 q = brickPlane(c, an);
    // Footprints, worked out from the position's steps (the way round jumps where it wraps);
    // within a pixel the centre line does not move, so those steps stand for the offset's too.
    vec3 dpx = dFdx(worldPos), dpy = dFdy(worldPos);
    vec2 stepE = vec2(dot(around, dpx.xy), dot(around, dpy.xy)) / e;
    vec2 stepU = kRound * vec2(across(around, dpx.xy), across(around, dpy.xy)) / (e * e);
    vec3 reach3 = vec3(abs(stepE.x) + abs(stepE.y), abs(stepU.x) + abs(stepU.y),
                       abs(dpx.z) + abs(dpy.z));
    vec2 footprint = brickPlane(reach3, an);

    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    vec3 v = toEye / eyeDistance;
    if (dot(n, v) < 0.0) n = -n;
    // Seen at a grazing angle, or laid slantwise over a face, the blocks stretch into streaks
    // along the view: there they fade into plain shaded rock.
    float stretch = max(footprint.x, footprint.y) / max(min(footprint.x, footprint.y), 1e-4);
    float grazing = smoothstep(0.3, 0.65, dot(n, v)) * (1.0 - smoothstep(2.0, 3.5, stretch));
    // High above the lamp (where the camcorder opens up) the far blocks calm into plain rock in
    // the air, well before they shrink to a few pixels, so the eye goes to the lamp's glow.
    // Worked out here, not passed on from the vertices: each input costs the pixels its own
    // interpolation, dearer than these few steps.
    float above = smoothstep(30.0, 90.0, length(eyePos - lightpos));
    // Only over the lamp: below it, looking back up into its light, the far blocks keep their
    // courses, or the walls there melted into a haze.
    float calm = smoothstep(0.2 + 0.14 * above, 0.42 + 0.22 * above, air.a) * above *
                 step(eyePos.z, 0.0);
    grazing *= 1.0 - calm;

    // Blocks laid in courses, each course shifted along: drawn here rather than looked up, so
    // every joint is covered exactly as much as the pixel's footprint holds of it (no sparkle,
    // however far), and no texel has to come from memory.
    float row = floor(q.y / kBlock.y);
    vec2 b = vec2(q.x / kBlock.x + 0.5 * row + 0.31 * blockHash(vec2(row, 7.0)), q.y / kBlock.y);
    vec2 cell = floor(b);
    vec2 f = b - cell;
    cell.x = mod(cell.x, 30.0);  // the same block on both sides of where the way round wraps
    vec2 toEdge = min(f, 1.0 - f) * kBlock;
    bool acrossX = toEdge.x < toEdge.y;
    float edge = min(toEdge.x, toEdge.y);
    float pixel = max(acrossX ? footprint.x : footprint.y, 1e-3);
    // The joints fade into their share of the wall as they thin below a pixel.
    float detail = 1.0 - smoothstep(0.25, 0.9, max(footprint.x, footprint.y));
    // Where two layouts nearly tie (a face turning between them, round a ledge's lip or a
    // stalactite), the blocks melt into plain rock, so no jagged seam shows.
    float top = max(an.x, max(an.y, an.z));
    float second = max(min(an.x, an.y), min(max(an.x, an.y), an.z));
    // Not from the triangles' own facets: those switch from one triangle to the next, and
    // the melt then breaks up into hard-edged shards.
    float laid = smoothstep(0.02, 0.12, top - second);
    detail *= laid * grazing;
    float joint = 1.0 - smoothstep(kJoint - pixel, kJoint + pixel, edge);
    joint = mix(0.13, joint, detail);
    // Each face rounds off towards its joints: the relief, a slope away from the nearest joint.
    float rise = clamp((edge - kJoint) / kBevel, 0.0, 1.0);
    float steep = 6.0 * rise * (1.0 - rise) / kBevel;
    vec2 away = acrossX ? vec2(f.x < 0.5 ? 1.0 : -1.0, 0.0) : vec2(0.0, f.y < 0.5 ? 1.0 : -1.0);
    float h = blockHash(cell + vec2(0.0, 31.0 * row));
    float h2 = fract(h * 13.37);
    // Every block sits a little askew in the wall, so neighbours catch the lights differently.
    vec2 askew = vec2(h, h2) - 0.5;
    vec3 grad = mat3(radial, tangent, vec3(0.0, 0.0, 1.0)) *
                planeSlope((away * steep * 0.45 + 0.5 * askew) * detail, an);
    vec3 bumped = normalize(n - (grad - dot(grad, n) * n));

    // Old masonry: every block its own tone and a little its own colour (grey stone to fired
    // clay), with a grain across its face that fades out before it would fall below a pixel.
    vec2 u = f * kBlock + 9.0 * h;
    float grain = 0.5 * (wave(dot(u, vec2(0.68, 0.18)) + 0.3 * wave(0.37 * u.y + 0.16 * h)) +
                         wave(dot(u, vec2(-0.27, 0.84))));
    grain *= 1.0 - smoothstep(0.12, 0.3, max(footprint.x, footprint.y));
    // Plain rock, where the blocks fade, keeps the blocks' mean tone with their joints and
    // bevels: no lighter, or the faded walls read as a bleached smear.
    float tone = mix(0.75, (0.5 + 0.8 * h) * (1.0 + 0.25 * grain), detail);
    vec3 clay = mix(vec3(1.0), vec3(1.15, 0.86, 0.7), detail * h2 * h2);
    vec3 rock = 0.46 * mineral.rgb * clay * tone;
    // Damp streaks run down the walls.
    bool wall = an.x >= an.y && an.x >= an.z;
    float damp = wall ? laid * streak : 0.0;
    rock *= mix(vec3(1.0), vec3(0.3, 0.3, 0.24), damp);
    // The mortar lies deep and dark, and the blocks' edges round into its shadow.
    float recess = mix(1.0, 0.6 + 0.4 * rise, detail);
    vec3 albedo = mix(rock, 0.16 * rock, joint) * recess;
    // Moss grows out of the joints in cushions where the faces look up: it fills the mortar
    // first and then the blocks, opaque where it grows; far off it thins to its share.
    float grow = mineral.a + 0.3 * (1.0 - rise) - 0.25 * h + 0.1 * grain;
    float cover = mix(0.4 * mineral.a, smoothstep(0.58, 0.7, grow), detail);
    cover *= laid;
    vec3 mossColor = vec3(0.085, 0.19, 0.04) * (0.75 + 0.5 * h2) * (0.8 + 0.35 * grain);
    mossColor *= 0.5 + 0.5 * cover;  // the cushions darken towards their edges
    albedo = mix(albedo, mossColor, cover);
    // Where the blocks melt (round lips, fins and the slanting faces of ledges) the rock is
    // rough and in shadow: darker than the laid blocks, so it reads as a crevice in the wall,
    // not as a pale patch lying over it.
    albedo *= mix(mix(0.5, 1.0, laid), 0.5, calm);

    vec3 l = normalize(lightpos - worldPos);
    vec3 k = normalize(keyPos - worldPos);
    float nv = dot(n, v);
    float lamp = max(dot(bumped, l), 0.0);
    // Wrapped a little round the blocks, so the lamp still models the bricks of the near walls
    // that the lens sees at a glancing angle.
    float facing = max(0.75 * dot(bumped, k) + 0.25, 0.0);
    // Rim: faces turning away from the eye catch the lamp beyond them along their edge.
    float rim = (1.0 - nv) * (1.0 - nv);
    rim *= rim * max(dot(n, l) + 0.4, 0.0);
    // The blocks are damp: the cave's lamp shows in them as a soft sheen, wettest in the
    // streaks, none on the moss or in the mortar.
    float wet = max(dot(bumped, normalize(l + v)), 0.0);
    wet *= wet;
    wet *= wet;
    wet *= wet * wet * (1.0 - cover) * (1.0 - joint) * (0.5 + 1.5 * damp);  // ^16
    vec3 light = lampLight * (lamp + 0.04 + 1.6 * rim + 0.9 * wet) +
                 keyLight * facing + ambient;

    // The camcorder rolls bright parts off instead of clipping them (the lights carry the
    // exposure, and log2(e) for exp2).
    // Faces turning away from the eye darken towards their outlines: before the roll-off, deep
    // enough that it does not swallow it in the lamp's full light (pale, rock seen at a slant
    // stood out as torn shards), and after it. By the smooth normal only, not by the stretch,
    // which (from the position's steps) changes from one triangle to the next and would darken
    // the rock in facets.
    float facingEye = smoothstep(0.0, 0.45, nv);
    vec3 color = vec3(1.0) - exp2(-albedo * light * mix(0.35, 1.0, facingEye));
    color *= mix(0.5, 1.0, facingEye);
    color = mix(color, air.rgb, air.a);
    // The camcorder's cheap sensor crushes the shadows to black and pulls the mid-tones apart
    // with an S-curve, so the picture holds deep blacks and only the lit rock stays bright.
    // Between the beats' flashes the sensor lifts the mid-tones first (highlights keep their
    // place), so the shaft reads on a projector and not only on the beat.
    color *= 1.6 - 0.6 * color;
    color = clamp(color * 1.12 - 0.06, 0.0, 1.0);
    color = color * color * (3.0 - 2.0 * color);
    color += vec3(1.0, 0.72, 0.42) * flare;
    // On every beat there a ring of light runs down the shaft over half the beat, from beyond the
    // nearest walls (lit whole, they pumped the picture) towards the lamp, lighting the blocks'
    // faces as it passes (the joints, sunk, catch less of it): hardest on the bar's first beat.
    float runs = clamp(1.0 - 1.7 * saw, 0.0, 1.0) * (kick == 0.0 ? 1.0 : 0.5) * above;
    float ring = (eyeDistance - 28.0 - 110.0 * saw) * 0.14;
    ring = max(1.0 - ring * ring, 0.0);
    color += vec3(1.0, 0.62, 0.3) * (runs * ring * ring * (1.0 - air.a)) * mix(0.9, 0.3, joint);
    fragColor = vec4(color, 1.0);
}
#endif
