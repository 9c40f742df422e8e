// The night round the temple, painted on the sphere of radius 105 at the end of the temple's mesh
// (drawn alone with this program, so the sky's pixels pay for no stone): mist below the horizon,
// moonlit cloud and stars above, the set sun's glow through the mist and the sinking light's glow
// in the air, as the temple's own program paints them on its stone.
uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float saw;
uniform float t_scene;
uniform vec3 fog_color;

// The finale (from 21.57 s of the pair's time to its end at 43.15 s) builds to a dawn.
const float kFinaleStart = 21.573034;
const float kFinaleEnd = 43.146067;
const float kRiseStart = 40.2;  // the closing rise through the dome, looking straight up

// Integer hash (the same bits on every driver, unlike hashes built on sin).
uint hash3(uvec3 v)
{
    v = v * 1664525u + 1013904223u;
    v.x += v.y * v.z;
    v.y += v.z * v.x;
    v.z += v.x * v.y;
    v ^= v >> 16u;
    v.x += v.y * v.z;
    v.y += v.z * v.x;
    v.z += v.x * v.y;
    return v.x ^ v.y ^ v.z;
}

float unitHash(uvec3 v)
{
    return float(hash3(v) >> 8u) * (1.0 / 16777216.0);
}

// Smooth value noise on a plane, 0 to 1.
float valueNoise(vec2 q)
{
    vec2 cell = floor(q);
    vec2 f = q - cell;
    f = f * f * (3.0 - 2.0 * f);
    uvec3 c = uvec3(ivec3(ivec2(cell) + 4096, 7));
    float a = unitHash(c);
    float b = unitHash(c + uvec3(1u, 0u, 0u));
    float d = unitHash(c + uvec3(0u, 1u, 0u));
    float e = unitHash(c + uvec3(1u, 1u, 0u));
    return mix(mix(a, b, f.x), mix(d, e, f.x), f.y);
}

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

// Where the stars crowd: a faint band across the sky.
float milkyBand(vec3 d)
{
    float across = dot(d, vec3(0.62, 0.2, -0.76));
    return exp(-across * across * 40.0) * smoothstep(0.0, 0.3, d.y);
}

// 0 through the temple; from the cut to the finale a touch of dawn at once, rising to 1 at its end.
float finaleBuild()
{
    return step(kFinaleStart, t_scene) * (0.15 + 0.85 * smoothstep(kFinaleStart, kFinaleEnd, t_scene));
}

// The beat as a spark: full on the beat and down to an eighth of it an eighth of a beat later,
// hardest on the first beat of the bar. The stars and the glow round the set sun take it, not
// the whole sky, which would read as the picture flickering.
float beatSpark()
{
    return exp2(-24.0 * saw) * (kick == 0.0 ? 1.0 : 0.65);
}

#ifdef vertexcompile
// The sky sphere's paint at its vertices, the sphere being smooth and far: the night, moonlit
// cloud (one layer of smooth noise seen in perspective, thinning to the horizon, drifting fast
// enough that a held shot is seen to breathe) and a faint milky band where the stars crowd.
// Returns the colour, and the cover for the stars.
vec3 skyAtVertex(vec3 d, out float cover)
{
    vec3 c = nightColor(d);
    cover = 0.0;
    if (d.y > 0.0) {
        vec2 q = d.xz / (d.y + 0.18) * 1.6 + vec2(0.05 * t, 0.0);
        cover = smoothstep(0.5, 0.85, valueNoise(q)) * smoothstep(0.0, 0.12, d.y);
        float lit = 0.6 + 0.4 * max(dot(d, kMoon), 0.0);
        c = mix(c, vec3(0.09, 0.105, 0.17) * lit, cover * 0.85);
    }
    c += vec3(0.03, 0.035, 0.06) * milkyBand(d) * (1.0 - cover);
    // Round the temple the night is a deep blue rather than black below, so the picture reads
    // on a projector; it darkens to black overhead.
    float build = finaleBuild();
    float up = max(d.y, 0.0);
    if (build == 0.0) c += vec3(0.025, 0.04, 0.11) * (1.0 - up) * (1.0 - up);
    // The finale's night is its own from the cut: indigo rather than the temple's blue, with a
    // first glow of the dawn on the horizon. It builds to that dawn: the horizon and the sky round
    // the risen sun warm.
    float dawn = build > 0.0 ? 0.12 + 0.88 * build * build : 0.0;
    // A violet twilight, lighter down towards the horizon, so the finale is never a black
    // picture; straight up the night stays near black.
    float low = (1.0 - up) * (1.0 - up);
    if (build > 0.0)
        c = c * mix(vec3(1.0), vec3(2.0, 1.2, 2.0), low) +
            vec3(0.15, 0.06, 0.17) * low * (1.0 - up) * (0.7 + 0.3 * build) +
            // Through the first eight bars the violet reaches higher up the sky, lifting the
            // close-ups that look up past the stone; gone by the dome and the sun in the oculus,
            // over the same seconds as the stone's warm bounce (geometry_distort.shader).
            vec3(0.07, 0.035, 0.1) * (1.0 - up) * (1.0 - smoothstep(32.6, 36.0, t_scene));
    return c + (vec3(0.75, 0.3, 0.1) * exp(-abs(d.y) * 5.0) + vec3(0.9, 0.42, 0.14) * pow(up, 12.0)) *
                   0.6 * dawn;
}

layout(location = 0) in vec4 position;

out vec3 worldPos;
flat out vec3 eyePos;
out vec4 skyTint;  // the sphere's colour and cloud cover
out vec2 sunPlane;  // where the point lies on the plane over the finale's sun, in sun radii
flat out vec4 meteorPath;  // the shooting star's head and tail in the picture (-1 to 1)
flat out float meteorGlow;
out vec3 clipXYW;  // the position in the picture, divided out per pixel
flat out float sunSize;  // the tangent of the sun's angular radius

// The tangent of the sun's angular radius: small while it sets behind the temple, growing
// through the finale; on the closing rise it fills five sixths of the picture's height and no
// more, whatever the lens: the half-height's tangent is the length of the matrix's last row
// (the depth along the view) over that of its second (the height in the picture).
float sunRadius(float build)
{
    float halfHeight = length(vec3(matrix[0][3], matrix[1][3], matrix[2][3])) /
                       length(vec3(matrix[0][1], matrix[1][1], matrix[2][1]));
    return t_scene > kRiseStart ? (5.0 / 6.0) * halfHeight : mix(0.06, 0.3, build);
}

// While the temple stands still (before the finale), a shooting star falls across the upper part
// of the picture on the first beat of three bars in four and burns out within that beat. It is
// laid in the picture itself, out to a corner clear of the temple in the middle of most views.
void placeMeteor()
{
    float bar = floor(0.25 * beats);
    float age = beats - 4.0 * bar;  // in beats
    uint h = hash3(uvec3(uvec2(ivec2(int(bar), 3)), 5u));
    vec2 at = vec2(float(h & 255u), float((h >> 8u) & 255u)) / 255.0;
    float side = (h & 65536u) != 0u ? 1.0 : -1.0;
    vec2 start = vec2(side * (0.45 + 0.25 * at.x), 0.5 + 0.35 * at.y);
    vec2 travel = vec2(side * 1.1, -0.5) * min(age, 0.6);
    meteorPath = vec4(start + travel, start + 0.25 * travel);
    float chosen = ((h >> 20u) & 3u) != 0u ? 1.0 : 0.0;
    meteorGlow = chosen * step(t_scene, kFinaleStart) * exp(-4.0 * age) * step(age, 1.0);
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
    worldPos = position.xyz;
    eyePos = cameraPosition();
    float cover;
    vec3 d = normalize(position.xyz);
    skyTint = vec4(skyAtVertex(d, cover), cover);
    // The sun stands low behind the temple, and over the oculus for the finale's closing rise:
    // there it is seen from the eye, as far off as a sun (from the middle of the sphere it would
    // swell past the picture as the eye climbs towards it), on the axis the camera looks along
    // (the matrix's last row), so the end card is the whole sun in the middle of the picture.
    // Its stripes lie level in the picture: the plane's y is the camera's down (the matrix's
    // second row is its up).
    bool rising = t_scene > kRiseStart;
    vec3 sun = rising ? normalize(vec3(matrix[0][3], matrix[1][3], matrix[2][3])) : kSunset;
    vec3 seen = rising ? normalize(position.xyz - eyePos) : d;
    vec3 cameraUp = vec3(matrix[0][1], matrix[1][1], matrix[2][1]);
    vec3 down = cameraUp - sun * dot(cameraUp, sun);
    down = -down / max(length(down), 1e-6);
    vec3 across = cross(down, sun);
    // Far off the plane behind the sun, so no disc shows there.
    sunSize = sunRadius(finaleBuild());
    sunPlane = vec2(dot(seen, across), dot(seen, down)) / max(dot(seen, sun), 0.02) / sunSize;
    placeMeteor();
    gl_Position = matrix * position;
    clipXYW = gl_Position.xyw;
}
#endif

#ifdef fragmentcompile
uniform vec3 lightpos;
uniform float lightradius;

in vec3 worldPos;
flat in vec3 eyePos;
in vec4 skyTint;
in vec2 sunPlane;
flat in float sunSize;
flat in vec4 meteorPath;
flat in float meteorGlow;
in vec3 clipXYW;
out vec4 fragColor;

// The shooting star: a streak from its tail to its head, brightest at the head, 1.5 pixels wide.
// `perPixel` is the picture's extent of a pixel.
vec3 meteor(vec2 at, vec2 perPixel)
{
    vec2 head = meteorPath.xy / perPixel, tail = meteorPath.zw / perPixel;
    vec2 p = at / perPixel;
    vec2 along = head - tail;
    float s = clamp(dot(p - tail, along) / max(dot(along, along), 1e-6), 0.0, 1.0);
    vec2 off = p - tail - along * s;
    return vec3(1.0, 0.92, 0.8) * 1.6 * meteorGlow * s * s * exp(-dot(off, off) * 0.9);
}

// Stars on the sky sphere: at most one in every cell of a lattice round it, hidden by cloud and
// mist. `pixel` is the pixel's size in radians: a star is never drawn smaller, so it does not
// flicker. `cover` comes from the sphere's vertices. In the finale (`build` over 0) the lattice
// climbs, and the stars turn into embers rising from the mist, warmer and larger as it builds;
// each glows up and dies as its cell passes through the sphere, so none pops.
vec3 stars(vec3 d, float pixel, float cover, float build)
{
    float band = milkyBand(d);
    const float kCells = 90.0;
    vec3 rise = vec3(0.0, 0.03 * max(t_scene - kFinaleStart, 0.0), 0.0);
    vec3 cell = floor((d - rise) * kCells);
    uint h = hash3(uvec3(ivec3(cell) + 1024));
    float chance = float(h & 1023u) * (1.0 / 1024.0);
    float share = 0.07 + 0.2 * band;
    float horizon = 0.02 - 0.25 * build;
    if (chance >= share || d.y < horizon) return vec3(0.0);
    vec3 jitter = vec3(float((h >> 10u) & 255u), float((h >> 18u) & 255u), 128.0) / 255.0;
    vec3 inCell = (cell + 0.25 + 0.5 * jitter) / kCells + rise;
    vec3 star = normalize(inCell);
    float width = max(pixel * 1.1, mix(0.0012, 0.0024, build));
    float r = length(d - star) / width;
    float x = chance / share;
    float life = 1.0 - smoothstep(0.1, 0.5, abs(length(inCell) - 1.0) * kCells);
    float bright = (0.3 + 1.6 * x * x * x * x) * (0.0012 / width) * mix(1.0, 2.5 * life, build) *
                   (1.0 + 1.5 * beatSpark());
    vec3 tint = mix(vec3(0.8, 0.85, 1.0), vec3(1.0, 0.45, 0.12), build);
    return tint * bright * exp(-r * r * 2.0) * (1.0 - cover) * smoothstep(horizon, horizon + 0.18, d.y);
}

// While the view stands back from the temple (8 to 16 s, a held shot), sparse embers from the
// sinking light drift slowly up the sky behind it (the half of the sky towards -x, where that
// view looks), warm and a little larger than the stars. Each fades in above the mist and dies
// out as it rises, so none pops. `pixel` is the pixel's size on the unit sphere, the embers'
// lattice lying on it.
vec3 embers(vec3 d, float pixel)
{
    if (d.x > 0.0 || d.y < 0.0 || d.y > 0.35) return vec3(0.0);
    const float kCells = 28.0;
    vec2 at = vec2(d.z, d.y - 0.02 * t_scene) * kCells;
    vec2 cell = floor(at);
    // A cheap hash: this runs on every pixel of the sky, in every frame of the pair.
    uint h = uint(int(cell.x)) * 0x27d4eb2du ^ uint(int(cell.y)) * 0x165667b1u;
    h ^= h >> 15u;
    h *= 0x2c1b3c6du;
    h ^= h >> 12u;
    float chance = float(h & 1023u) * (1.0 / 1024.0);
    if (chance >= 0.12) return vec3(0.0);
    vec2 jitter = vec2(float((h >> 10u) & 255u), float((h >> 18u) & 255u)) / 255.0;
    vec2 centre = cell + 0.25 + 0.5 * jitter;
    float width = max(pixel * 1.5, 0.006);
    vec2 off = (at - centre) / kCells / width;
    float bright = (0.5 + 6.0 * chance) * (0.006 / width) * smoothstep(0.0, 0.1, d.y) *
                   (1.0 - smoothstep(0.2, 0.35, d.y));
    return vec3(1.0, 0.55, 0.2) * bright * exp(-dot(off, off) * 2.0);
}

// The sun of the opening's logo, set behind the temple: a disc whose lower half is cut into
// horizon stripes that crawl down with a shove on every beat; it grows as the finale builds. `q`
// is the point on the plane over the sun in sun radii (from the vertices), its y growing
// downwards in the picture. Returns the colour and, in alpha, how much of the disc covers the
// pixel. Linear ramps rather than smoothsteps: this runs on every pixel of the sky.
vec4 risenSun(vec2 q, float pixel)
{
    float soft = 2.0 * pixel / sunSize;  // a pixel in sun radii, near enough
    float disc = clamp((1.0 - length(q)) / soft + 0.5, 0.0, 1.0);
    float beatsIn = floor(beats) + 1.0 - (1.0 - saw) * (1.0 - saw);
    float band = q.y * 4.5 - 0.25 * beatsIn;
    float phase = fract(band) - 0.5;
    // Each stripe takes its width from where its middle lies, so its edges stay level: from a
    // fifth of a band just below the middle of the disc to three fifths at the bottom. A stripe
    // fades in as it crawls out of the upper half rather than growing out of a hairline.
    float middle = (floor(band) + 0.5 + 0.25 * beatsIn) / 4.5;
    float gap = mix(0.1, 0.3, clamp(middle, 0.0, 1.0));
    float cut = clamp((gap - abs(phase)) / (4.5 * soft), 0.0, 1.0) * clamp(5.0 * middle, 0.0, 1.0);
    vec3 face = mix(vec3(1.0, 0.88, 0.45), vec3(1.0, 0.32, 0.12), clamp(0.5 + 0.5 * q.y, 0.0, 1.0));
    return vec4(face * (1.0 + 0.2 * beatSpark()), disc * (1.0 - cut));
}

void main()
{
    vec3 dx = dFdx(worldPos), dy = dFdy(worldPos);
    vec2 inPicture = clipXYW.xy / clipXYW.z;
    vec2 perPixel = abs(vec2(dFdx(inPicture.x), dFdy(inPicture.y))) + 1e-6;
    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    vec3 ray = -toEye / max(eyeDistance, 1e-4);
    // The air round the sinking light glows: close to it brightly, faintly further out.
    float closest = clamp(dot(lightpos - eyePos, ray), 0.0, eyeDistance);
    float gap = length(eyePos + ray * closest - lightpos) / lightradius;
    float haze = exp(-gap * gap * 10.0) * clamp(closest / 8.0, 0.0, 1.0);
    vec3 glow = vec3(0.6, 0.42, 0.22) * (0.4 * haze + 0.05 * exp(-2.0 * gap));

    float pixel = max(length(dx), length(dy)) / max(eyeDistance, 1.0);
    vec3 d = normalize(worldPos);
    // The low sun of the opening scenes, set and glowing through the mist, and its afterglow
    // spread along the horizon in layers of lit cloud, gold low down and rose above, so the sky
    // beside it reads as a sunset rather than a stray red smudge. The layers are the temple's
    // night: the finale's dawn paints its own horizon.
    // The powers by squaring: cheaper than pow on every pixel of the sky.
    float build = finaleBuild();
    float towards = max(dot(d, kSunset), 0.0);
    float towards4 = towards * towards;
    towards4 *= towards4;
    float towards8 = towards4 * towards4;
    vec3 afterglow =
        vec3(0.5, 0.22, 0.08) * towards8 * towards8 * towards8 * (1.0 + 0.6 * beatSpark());
    // Worked out only towards the sun: a weak GPU skips a branch that no pixel of a block takes.
    float level = exp2(-abs(d.y - 0.06) * 24.0) * towards4;
    if (build == 0.0 && level > 0.004) {
        float layers = 0.5 + 0.5 * sin(d.y * 150.0 + 1.5 * sin(dot(d.xz, vec2(8.0, 6.0))));
        afterglow += mix(vec3(0.8, 0.48, 0.13), vec3(0.67, 0.19, 0.32), clamp(d.y * 8.0, 0.0, 1.0)) *
                     level * layers * layers;
    }
    vec3 sky = skyTint.rgb + stars(d, pixel, skyTint.a, build) + afterglow;
    // The shooting star, the sun's disc and its corona are worked out only in the frames and
    // on the pixels where they show: a weak GPU skips a branch that no pixel of a block takes.
    if (meteorGlow > 0.0) sky += meteor(inPicture, perPixel);
    if (t_scene >= 8.0 && t_scene < 16.0)
        sky += embers(d, max(length(dx), length(dy)) / length(worldPos));
    float fromSun = length(sunPlane);
    vec4 sun = vec4(0.0);
    if (fromSun < 1.0 + 2.0 * pixel / sunSize) sun = risenSun(sunPlane, pixel);
    // In the finale's last four bars (from bar 132) a corona round the sun flares on every beat,
    // harder towards the end: the beat answered round the sun, not over the whole picture.
    float lastBars =
        step(37.7, t_scene) * (0.5 + 0.5 * clamp((t_scene - 37.7) * (1.0 / 5.4), 0.0, 1.0));
    float outside = fromSun - 1.0;  // not in the stripes cut through the disc
    if (lastBars > 0.0 && outside > 0.0)
        sky += vec3(1.0, 0.5, 0.16) * exp2(-10.0 * outside) * lastBars * (0.2 + beatSpark());
    // Sunk in the mist below the horizon, veiled by cloud until the finale burns it through.
    sun.a *= clamp(d.y * 40.0 + 1.0, 0.0, 1.0) * (1.0 - 0.6 * skyTint.a * (1.0 - build));
    fragColor = vec4(mix(sky, sun.rgb, sun.a) + glow, 1.0);
}
#endif
