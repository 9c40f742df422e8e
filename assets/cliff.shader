// Rock wall: the cliff image mapped along the wall, moss on the ledges that face up, a warm point
// light with a soft lamp at the camera, distance fog with the dust glowing around the light, and
// thin lines that sweep along the wall on the beat when "cliff_stripes" is on.
// The smooth terms (light reach, fog, haze) are worked out per vertex: the wall's triangles are
// large but these vary slowly, and per pixel they cost more than the rest of the shading.
// Close by (the fly-by along the wall before its high view: from 53 s on, undistorted), the wall
// gets its depth from light instead: a lamp on the camera falling off with distance, a low light
// raking along the wall from ahead over relief taken from the image, the image shifted by its
// own height as the view passes (parallax), and a haze thickening away from the camera; the wall
// ends in a ragged rim a little above the camera, with the dusk sky and a low sun beyond it.
uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;
uniform float distort;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;
uniform float cliff_stripes;
uniform float cliffside;
uniform vec3 fog_color;

// Where the canyon routine is by the music's seconds ("t"): the canyon from 10 s to 33 s (behind
// the big logo, bars 22 to 24, its walls are drawn by a program of their own).
bool inCanyon()
{
    return t >= 10.0 && t <= 33.0;
}
// How much of the close-by look applies: the fly-by's first part only (see above). Uniforms
// only, so every pixel of a draw takes the same path.
float closeLook()
{
    return clamp(t - 53.0, 0.0, 1.0) * (1.0 - clamp(distort, 0.0, 1.0));
}

#ifdef vertexcompile
uniform sampler2D moss;

layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec3 worldNormal;
flat out vec3 eyePos;
out float reach;
out float fog;
out vec3 fogColor;
out vec3 daylight;
out float haze;
out vec3 mossTint;
flat out vec3 stripeGlow;
flat out float beatHit;
out float bed;

// The camera in model space: the point whose clip-space x, y and w all vanish.
vec3 cameraPosition()
{
    vec4 r0 = vec4(matrix[0][0], matrix[1][0], matrix[2][0], matrix[3][0]);
    vec4 r1 = vec4(matrix[0][1], matrix[1][1], matrix[2][1], matrix[3][1]);
    vec4 r3 = vec4(matrix[0][3], matrix[1][3], matrix[2][3], matrix[3][3]);
    mat3 rows = transpose(mat3(r0.xyz, r1.xyz, r3.xyz));
    return inverse(rows) * -vec3(r0.w, r1.w, r3.w);
}

void main()
{
    vec4 p = position;
    // The wall breathes along its normal when distorted.
    p.xyz += normal * distort * 2.5 * sin(0.06 * p.y + 0.05 * p.z + 2.0 * t);
    // Close by, the wall's bumps (its distance from its mean plane x = -5) are deepened, so that
    // its ridges stand out and slide against each other as the camera passes; the normals follow.
    float deepen = 1.0 + 1.5 * closeLook();
    p.x = -5.0 + (p.x + 5.0) * deepen;
    eyePos = cameraPosition();
    // In the canyon (its scene time runs from 10.8 to 32.4 s) the wall's last rows each way (the
    // surface spans 100 units from its centre) are drawn out far beyond, so the gorge runs on into
    // the haze and its walls rise into it, with no gap at their ends; clip depth is held inside
    // the far plane for them below. The end the flight sets out from only once the camera has
    // left it behind: drawn out, its rows would leave the camera's side bare. In this space the
    // flight runs towards +z, from -100 (left behind by -40) to 73 (the view matrix mirrors the
    // routine's camera); held back, the end it flies into would open onto the clear colour, a
    // dark bar across the sky through the gorge's end.
    float canyon = inCanyon() ? 1.0 : 0.0;
    vec2 beyond = max(abs(p.yz) - 70.0, 0.0);
    beyond.y *= p.z < 0.0 ? smoothstep(-60.0, -40.0, eyePos.z) : 1.0;
    // Drawn out, the rows would smear into long hard-edged streaks fanning out from the gorge's
    // end, where the two walls cross: there the wall is its smooth mean plane, its moss the mean
    // tone, and it sinks into the haze (see "fog" below).
    float drawnOut = canyon * smoothstep(0.0, 8.0, max(beyond.x, beyond.y));
    p.x = mix(p.x, -5.0, drawnOut);
    p.yz += canyon * sign(p.yz) * beyond * beyond * 2.2;
    // Out there the two walls lean across the gorge past each other (the copies are turned half a
    // turn apart), closing it in haze: no sliver of the clear colour between their rough edges.
    p.x += canyon * 8.0 * smoothstep(0.0, 20.0, max(beyond.x, beyond.y));
    worldPos = p.xyz;
    worldNormal = mix(vec3(normal.x, normal.yz * deepen), vec3(1.0, 0.0, 0.0), drawnOut);

    // Key light: falling off towards "lightradius" with the curve "falloff".
    reach = pow(clamp(1.0 - length(lightpos - p.xyz) / lightradius, 0.0, 1.0), falloff);

    // Fog by distance, and the dust around the light glowing where the view passes near it.
    vec3 toPoint = p.xyz - eyePos;
    float distance = length(toPoint);
    // In the canyon the fog is thicker and warm, sunlit dust down in the gorge and bright daylight
    // haze up it, so that the far rock fades into light instead of its beds meeting in the
    // distance (dark, the haze down the gorge read as black streaks fanning out from its end).
    // From high up (distorted) thinner, so the rock keeps the colours it had close by.
    fog = 1.0 - exp(-distance * 0.011 * (1.0 + 0.8 * canyon) * (distort > 0.0 ? 0.6 : 1.0));
    // In the canyon the haze is held short of a white-out but where the rows are drawn out.
    fog = canyon > 0.0 ? max(min(fog, 0.9), drawnOut) : fog;
    // Close by, a haze thickening away from the camera beyond the nearest rock.
    fog = max(fog, closeLook() * 0.7 * (1.0 - exp(-max(distance - 10.0, 0.0) * 0.05)));
    float up = p.y * cliffside;
    // The canyon's beds (see the fragment stage), six units high, gently warped along the gorge;
    // in the tumble, where the rock in front of the camera fills the frame, three and a half.
    bed = (up + 2.5 * sin(0.045 * p.z + 1.0)) / (cliff_stripes > 0.0 ? 3.5 : 6.0);
    // Elsewhere, how far above the shadow of the rim far above the point lies, for the fly-by
    // close by: the shadow's edge wavers along the wall (angular between vertices, like the
    // crags that throw it) and slowly rises; as the cards come in (bar 44, 59.3 s) it drops away
    // and the sun floods the wall behind them.
    float rimShadow = 0.35 * (t - 53.0) - 1.2 + 1.6 * sin(0.11 * p.z) + 0.8 * sin(0.2 * p.z + 1.3)
                    - 30.0 * smoothstep(58.4, 59.4, t);
    bed = canyon > 0.0 ? bed : p.y - rimShadow;
    // Close by, the wall ends in a ragged rim a little above the camera, the sky beyond it: how
    // far below it the point lies (its crags angular between vertices; no sine, whose large
    // arguments each driver rounds its own way). With the cards and the roll (bar 44, 59.33 s)
    // it lies lower, leaving more sky behind the cards.
    float rimGap = 0.4 + 2.4 * abs(fract(0.049 * p.z) - 0.5) + 1.4 * abs(fract(0.137 * p.z + 0.3) - 0.5)
                 - p.y - (t > 59.3258 ? 1.2 : 0.0);
    fogColor = canyon > 0.0 ? mix(vec3(0.8, 0.55, 0.33), vec3(0.9, 0.76, 0.56), smoothstep(-15.0, 60.0, up))
                            : fog_color;
    // The canyon's daylight (see the fragment stage): how much sky the rock sees at its height,
    // where the sun reaches on the wall that faces it (the copy with "cliffside" 1), above the
    // wavering shadow the other's rim throws, and the shade: the wall away from the sun but for
    // its rim, and the depth below.
    float shadowLine = cliffside > 0.0 ? -8.0 + 9.0 * sin(0.021 * p.z) : 60.0;
    float sunlit = canyon * smoothstep(-3.0, 3.0, up - shadowLine);
    daylight = vec3(canyon * smoothstep(-25.0, 35.0, up), sunlit,
                    (1.0 - 0.55 * canyon * smoothstep(0.0, -60.0, up)) * (1.0 - 0.4 * (canyon - sunlit)));
    vec3 ray = toPoint / max(distance, 1e-4);
    float closest = clamp(dot(lightpos - eyePos, ray), 0.0, distance);
    float gap = length(eyePos + ray * closest - lightpos) / lightradius;
    haze = exp(-gap * gap * 12.0) * clamp(closest / 10.0, 0.0, 1.0);
    // In the canyon "haze" carries how far above the walls' rim the point lies instead (see
    // canyonSky in the fragment stage; the dust's glow is not drawn there): the rim's crags are
    // angular between vertices.
    float rim = 15.0 + 9.0 * abs(fract(0.021 * p.z) - 0.5) + 3.0 * abs(fract(0.067 * p.z + 0.3) - 0.5);
    haze = canyon > 0.0 ? up - rim : haze;

    // Moss only tints, in patches as broad as the triangles: one texel of its image per vertex
    // (per pixel it would cost a lookup of its own).
    ivec2 mossSize = max(textureSize(moss, 0), ivec2(1));
    mossTint = texelFetch(moss, ivec2(floor(p.zy * 0.05 * vec2(mossSize))) & (mossSize - 1), 0).rgb;
    mossTint = mix(mossTint, vec3(0.3, 0.35, 0.2), drawnOut);

    // The seams' colour and flare (see the fragment stage) are the same over the whole wall.
    vec3 stripeColor =
        mix(vec3(1.0, 0.42, 0.12), vec3(1.0, 0.62, 0.25), 0.5 + 0.5 * sin(0.7 * t_scene));
    // Every other beat a little softer (the phase kept small for the sine).
    float swing = 0.85 + 0.15 * cos(3.14159265 * mod(beats, 2.0));
    float flare = (1.0 - saw) * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.6) * swing;
    stripeGlow = stripeColor * cliff_stripes * (0.25 + 0.9 * flare);
    // A sharp hit on every beat, hardest on the bar's first, gone within a quarter of a beat.
    float quarter = max(1.0 - 4.0 * saw, 0.0);
    beatHit = quarter * quarter * (kick == 0.0 ? 1.0 : 0.5);

    gl_Position = matrix * p;
    // From high up (distorted) the key light gives way to a low sun behind the title card, a
    // little above the middle of the screen: it lights the rock around it, falling off towards
    // the corners.
    // Carried in "reach", which that view does not use otherwise.
    vec2 fromSun = gl_Position.xy / max(gl_Position.w, 1e-4) - vec2(0.0, 0.3);
    reach = distort > 0.0 ? 0.45 + 0.9 / (1.0 + dot(fromSun, fromSun) * 1.5) : reach;
    // Its haze is lit by that sun too, warm near it and dusk towards the corners.
    fogColor = distort > 0.0 ? vec3(0.98, 0.62, 0.36) * (0.1 + 0.45 * reach) : fogColor;
    // Close by, the rim's gap in "daylight", which that view does not use otherwise (a varying of
    // its own costs every scene drawn with this program).
    daylight.x = closeLook() > 0.0 ? rimGap : daylight.x;
    if (canyon > 0.0 && gl_Position.w > 0.0) gl_Position.z = min(gl_Position.z, 0.99999 * gl_Position.w);
    // The intro (its routine holds "t" at 0, see the fragment stage): how far the dawn has come
    // and where its sunlight has reached, in "daylight". On each bar's first beat a beam of low
    // light rakes across the wall from the left, crossing the screen in about a beat and a half
    // and dying away as it goes: "daylight.y" carries where the point lies across the beam
    // (linear in position, so exact per pixel), "beatHit" (which the intro does not use
    // otherwise) its strength.
    if (t < 0.001) {
        vec3 rel = p.xyz - eyePos;  // on screen z runs some 17 units either way, y up to 12
        float front = mix(-30.0, 30.0, smoothstep(0.5, 8.5, t_scene));
        float sunlit = 1.0 - smoothstep(front - 8.0, front + 8.0, rel.z);
        // Beats since the bar's first (a hair late: the downbeat's own frame must not round to the end).
        float inBar = fract(t_scene * (178.0 / 240.0) + 0.0005) * 4.0;
        float across = (rel.z + 0.4 * rel.y + 5.0 - 24.0 * inBar) / 3.0;
        daylight = vec3(sunlit, across, smoothstep(0.0, 9.0, t_scene));
        float left = max(1.0 - inBar / 1.6, 0.0);
        beatHit = left * left;
    }
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec3 worldPos;
in vec3 worldNormal;
flat in vec3 eyePos;
in float reach;
in float fog;
in vec3 fogColor;
in vec3 daylight;
in float haze;
in vec3 mossTint;
flat in vec3 stripeGlow;
flat in float beatHit;
in float bed;
out vec4 fragColor;

const float kTextureScale = 1.0 / 14.0;
const vec3 kRockTone = vec3(0.45, 0.34, 0.26);  // the mean of the two images
const vec3 kMossTone = vec3(0.25, 0.33, 0.15);

// Bilinear lookup by hand, wrapping like GL_REPEAT. The driver's own filtered lookups crawl where
// the wall is seen edge-on (the images carry the maximum anisotropy but no smaller levels). The
// four texels also give the brightness slope across the cell (per texture unit), for the relief.
vec3 fetchLinear(sampler2D s, vec2 uv, out vec2 slope)
{
    ivec2 size = textureSize(s, 0);
    slope = vec2(0.0);
    if (size.x == 0) return vec3(0.0);
    vec2 texel = uv * vec2(size) - 0.5;
    vec2 base = floor(texel);
    vec2 f = texel - base;
    // The images are powers of two: the wrap is a mask, which also keeps every read inside.
    ivec2 a = ivec2(base) & (size - 1);
    ivec2 b = (a + 1) & (size - 1);
    vec3 c00 = texelFetch(s, a, 0).rgb;
    vec3 c10 = texelFetch(s, ivec2(b.x, a.y), 0).rgb;
    vec3 c01 = texelFetch(s, ivec2(a.x, b.y), 0).rgb;
    vec3 c11 = texelFetch(s, b, 0).rgb;
    const vec3 luma = vec3(0.3, 0.55, 0.15);
    vec3 dx = mix(c10 - c00, c11 - c01, f.y), dy = mix(c01 - c00, c11 - c10, f.x);
    slope = vec2(dot(dx, luma), dot(dy, luma)) * vec2(size);
    return mix(mix(c00, c10, f.x), mix(c01, c11, f.x), f.y);
}

vec3 fetchLinear(sampler2D s, vec2 uv)
{
    vec2 slope;
    return fetchLinear(s, uv, slope);
}

// A smaller level made by hand, shaped like the pixel's footprint: seen aslant, a pixel spans a
// streak of texels, so close by two bilinear lookups are spread along the streak's long axis (at
// -1/4 and 1/4 of it, and a quarter to either side) and averaged, a box filter of its size;
// single texels there would flicker like static as the view passes. Further off, one lookup at
// the pixel's centre. Past what the lookups can cover, the picture's mean takes over. The
// lookups' own slopes, averaged, give the brightness slope over the footprint (per texture
// unit), for the relief: slopes from screen derivatives would differ with each GPU's way of
// taking them. The branches here and below test uniforms only: every pixel of a draw takes the
// same side; llvmpipe still runs the arithmetic of a side not taken, masked, for every pixel
// (lookups inside or not, and so a loop that never turns): work the views share is done once.
vec3 fetchFiltered(sampler2D s, vec2 uv, vec2 du, vec2 dv, bool twoTaps, out vec2 slope)
{
    float size = float(max(textureSize(s, 0).x, 1));
    bool uLonger = dot(du, du) > dot(dv, dv);
    vec2 major = uLonger ? du : dv, minor = uLonger ? dv : du;
    float texels = max(0.6 * length(major), length(minor)) * size;
    vec2 offset = twoTaps ? 0.25 * (major + minor) : vec2(0.0);
    vec3 color = fetchLinear(s, uv - offset, slope);
    if (twoTaps) {
        vec2 tapSlope;
        color = 0.5 * (color + fetchLinear(s, uv + offset, tapSlope));
        slope = 0.5 * (slope + tapSlope);
    }
    return mix(color, kRockTone, smoothstep(8.0, 24.0, texels));
}

// Dust streaming past close by: motes on a sheet of air "offset" units out from the camera
// towards the wall, found where the view to this pixel crosses it, in rows "cell" high, each row
// shifted along by its own amount and holding a mote in some of its cells. They hang still, so
// the flight carries them past faster than the rock behind, each drawn out along the flight
// into the streak it leaves over a frame: "streak" is a mote's size along the wall and up it,
// per unit of "offset".
float dustSheet(float offset, float cell, vec2 streak)
{
    vec3 ray = worldPos - eyePos;
    vec2 q = (eyePos + ray * (offset / max(abs(ray.x), 1e-3))).zy / cell;
    q.x += 7.0 * fract(0.618034 * floor(q.y));
    vec2 id = floor(q);
    // A hash without sin(), which would differ with each driver's sine.
    vec2 h = fract(id * vec2(0.1031, 0.1030));
    h += dot(h, h.yx + 33.33);
    h = fract((h.xx + h.yx) * h.yx);
    vec2 e = (q - id - vec2(0.5, 0.3 + 0.4 * h.y)) * cell / (streak * offset);
    // A soft spot without exp(), which llvmpipe works out at length.
    float spot = max(1.0 - 0.25 * dot(e, e), 0.0);
    spot *= spot;
    return step(0.6, h.x) * spot * spot;
}

// The view's direction in the gorge's own frame: the first copy of the walls is turned half a turn
// about the flight's axis ("cliffside" -1), so its x and y turn back.
vec3 gorgeView(vec3 toEye)
{
    return -vec3(toEye.xy * cliffside, toEye.z);
}

// The canyon's walls end in a ragged rim some fifteen units above the flight (how far above it the
// point lies comes in "haze", see the vertex stage); above it, the sky, by the view's height
// alone. The camera flies below the rim, so a view that meets the wall above it would have gone
// on into the sky. The rock just under the rim catches the sun, flaring on the beat.
void canyonSky(vec3 toEye, out vec3 sky, out float skyward, out float rimLit)
{
    float gap = haze;
    skyward = clamp(0.5 + gap / max(fwidth(gap), 1e-3), 0.0, 1.0);
    vec3 view = gorgeView(toEye);
    float rise = max(view.y, 0.0);
    // Pale and warm at the horizon, deepening to a clear blue overhead, warmer still towards the
    // sun (over the wall that faces away from it) and paler just above the rims, so the slot
    // stands out against the sunlit rock without reading as a flat colour.
    sky = mix(vec3(1.0, 0.85, 0.62), vec3(0.3, 0.5, 0.88), rise * (2.0 - rise));
    float sunward = max(dot(view, vec3(0.6, 0.74, -0.3)), 0.0);
    sunward *= sunward;
    sky = mix(sky, vec3(1.0, 0.9, 0.72), 0.55 * sunward * sunward);
    float nearRim = clamp(1.0 - gap / 40.0, 0.0, 1.0);
    sky = mix(sky, vec3(0.95, 0.88, 0.76), 0.45 * nearRim * nearRim);
    rimLit = 0.8 / (0.8 + max(-gap, 0.0));
    rimLit *= rimLit * (0.5 + 1.5 * beatHit);
}

void main()
{
    // Footprints first, while every pixel of the quad is still on the same path.
    bool fromHigh = distort > 0.0;
    // From high up the beds run along the wall (see the high view's light below) and slide past
    // at 6 units a second: the view sinks too slowly to show the flight otherwise.
    vec2 uv = (fromHigh ? worldPos.yz + vec2(0.0, 6.0 * t) : worldPos.zy) * kTextureScale;
    vec2 du = dFdx(uv), dv = dFdy(uv);
    float close = closeLook();
    vec3 n = normalize(worldNormal);
    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    toEye /= eyeDistance;
    // Windings and normals are not made consistent: light the side that faces the camera.
    if (dot(n, toEye) < 0.0) n = -n;
    // Far away, where the fog has nearly swallowed the wall and one pixel spans many texels, the
    // images' mean tones replace the lookups, which would only shimmer there.
    float high = clamp(distort, 0.0, 1.0);
    float detail = 1.0 - smoothstep(70.0 + 50.0 * high, 130.0 + 90.0 * high, eyeDistance);
    float size = float(max(textureSize(tex, 0).x, 1));
    float texels = max(length(du), length(dv)) * size;
    float canyon = inCanyon() ? 1.0 : 0.0;
    // How far the high view has sunk onto the rock, from bar 52.5 to 54 (70.8 to 72.8 s): there
    // its grain would turn coarse and soft, so it flattens and darkens into the fade to black.
    float sunk = high * smoothstep(70.8, 72.8, t);
    // The relief flattens where its slopes would change faster than the pixels: as soon as texels
    // get smaller than pixels (close by a little later). Close by, held longer, the near wall
    // turned crunchy beside the smooth rock seen edge-on past a corner, a hard seam between them.
    float fineness = (1.0 - smoothstep(mix(0.6, 0.8, close), 2.0, texels)) * detail;
    // In the canyon's tumble, how near the rock in front of the camera is (it starts facing the
    // wall, five units off).
    float tumble = canyon * clamp(cliff_stripes, 0.0, 1.0);
    float near = (1.0 - smoothstep(6.0, 30.0, eyeDistance)) * tumble;
    // Close by, or from high up (see fetchFiltered for the branches): close by it looks up the
    // height under the pixel, from high up (see below) five texels across the beds, a texel and
    // a half as the view sinks onto the rock.
    bool closeBy = close > 0.0;
    float probe = 0.0;
    // One lookup shared by both views, since llvmpipe runs each branch for every pixel.
    if (closeBy || fromHigh)
        probe = dot(fetchLinear(tex, uv + vec2(0.0, fromHigh ? (5.0 - 3.5 * sunk) / size : 0.0)),
                    vec3(0.3, 0.55, 0.15));
    // From high up, a ledge above throws its shadow across the beds: a ragged edge along the wall
    // (its crags flowing past with the beds) that the sinking view comes down to, the rock above
    // it in warm sun, its lip glowing (flaring on the beat), the rock and the haze below it in
    // cool shade.
    vec3 sinkLight = vec3(1.0);
    if (fromHigh) {
        float along = worldPos.z + 6.0 * t;
        float edge = 0.55 * eyePos.y - 4.0 + 2.2 * abs(fract(along / 7.3) - 0.5)
                   + 0.9 * abs(fract(along / 2.3 + 0.3) - 0.5);
        // As the view sinks onto the rock the edge slows and stays in view, crossing it: the
        // close-up keeps its sunlit rock, glowing lip and shade to the end.
        edge = mix(edge, 0.6 * edge, sunk);
        float soft = 0.07 + 0.003 * eyeDistance;
        float aboveEdge = worldPos.y - edge;
        float shadowed = high * smoothstep(soft, -soft, aboveEdge);
        float edgeGlow = clamp(1.0 - aboveEdge / (0.6 + 0.02 * eyeDistance), 0.0, 1.0) * (1.0 - shadowed);
        sinkLight = mix(mix(vec3(1.0), vec3(1.4, 1.2, 0.95), sunk), vec3(0.42, 0.47, 0.64), shadowed)
                  + vec3(1.2, 0.6, 0.25) * (edgeGlow * edgeGlow * (1.0 + 3.0 * beatHit));
    }
    // Dust in the air before the rock (see dustSheet), lit most where the sun's shafts cross
    // (below): close by streaming past, from high up in round motes that the sinking view passes.
    float dust = dustSheet(3.5, fromHigh ? 0.8 : 0.7, fromHigh ? vec2(0.006) : vec2(0.05, 0.005)) * max(close, high);
    // Close by: the sky above the rim, the rim's light and the parallax.
    vec3 sky = vec3(0.0);
    float skyward = 0.0, rimLit = 0.0;
    if (closeBy) {
        // Above the rim (see "rimGap" in the vertex stage, here in "daylight") the dusk sky, glowing
        // towards the low sun ahead, by the view's direction alone: it stays put while the wall
        // slides past. The rim's edge is lit from behind and flares on the beat.
        vec3 view = -toEye;
        float sunward = max(dot(view, normalize(vec3(-0.95, 0.11, -0.12))), 0.0);
        float glowing = sunward * sunward;
        glowing *= glowing * glowing;  // ^6
        sky = mix(vec3(1.0, 0.66, 0.38), vec3(0.5, 0.22, 0.26), clamp(3.5 * view.y, 0.0, 1.0))
            + glowing * (vec3(0.45, 0.26, 0.1)
                         + vec3(0.6, 0.45, 0.25) * ((1.0 + 0.6 * beatHit) * glowing * glowing * glowing));
        // Finer notches along the rim, at two scales.
        float gap = daylight.x - 0.8 * abs(fract(0.29 * worldPos.z) - 0.5)
                  - 0.3 * abs(fract(0.83 * worldPos.z + 0.4) - 0.5);
        // The edge's softness and the glow's depth grow with distance, two and three pixels at
        // 720 lines: not from derivatives, which each driver takes its own way.
        float aa = 0.0013 * eyeDistance;
        float glowDepth = 0.002 * eyeDistance;
        rimLit = glowDepth / (glowDepth + max(gap, 0.0));
        rimLit *= rimLit * close * (0.5 + glowing) * (1.0 + 3.0 * beatHit);
        skyward = close * clamp(0.5 - gap / aa, 0.0, 1.0);
        // Parallax: the dark cracks lie deeper than the faces, so they shift against them as the
        // view passes. One step, from the height under the pixel, and only where the cracks are
        // wider than a pixel: finer ones would only shimmer.
        // Cracks half a unit deep: the ray reaches that depth further on along the view.
        vec2 tilt = toEye.zy / max(dot(toEye, n), 0.25);
        uv -= close * fineness * kTextureScale * 0.5 * (1.0 - probe) * tilt;
    }
    if (inCanyon()) canyonSky(toEye, sky, skyward, rimLit);
    // The rock's lookups are left out where only sky shows.
    if (skyward >= 1.0) detail = 0.0;
    // So are they where the canyon's walls are seen so edge-on that the strata show instead of the
    // image (see below; its relief is flattened there already).
    if (canyon > 0.0 && texels >= 7.0) detail = 0.0;
    // The wall faces x: one projection along it is enough.
    vec3 albedo = kRockTone;
    vec3 mossColor = kMossTone;
    vec3 rock = kRockTone;
    vec3 bumped = n;
    if (detail > 0.0) {
        vec2 slope;
        rock = fetchFiltered(tex, uv, du, dv, closeBy, slope);
        // In the tumble (stripes on) the view turns so fast that the picture's fine detail would
        // jump from frame to frame: it is calmed there, but not where the rock is so near that
        // its texels are larger than the pixels (the wall in front of the camera).
        float calm = clamp(cliff_stripes, 0.0, 1.0) * smoothstep(0.5, 1.5, texels);
        // Relief: the normal tilted along the brightness slope, the dark cracks 1.5 units deep
        // close by and half that further off, where the light is broad; half again where calmed,
        // and in the canyon's daylight, where the strata's colours carry the detail (at full depth
        // the walls facing the camera looked hammered), less still where its texels are near the
        // pixels' size; and as the high view sinks onto the rock.
        float daylit = inCanyon() ? mix(0.5 - 0.4 * smoothstep(3.0, 1.0, texels), 0.25, near) : 1.0;
        daylit *= 1.0 - sunk;
        float depth = (1.3 + 1.3 * close) * (1.0 - 0.5 * calm) * daylit;
        vec3 grad = fineness * depth * kTextureScale * vec3(0.0, slope.y, slope.x);
        grad -= dot(grad, n) * n;
        bumped = normalize(n - grad);
        // Close by and from high up, the beds' mineral colours are drawn out a little further
        // from the mean: the cut between the two views should not change the stone. From high up
        // further still, less as the view sinks onto the rock, whose grain it would sharpen.
        vec3 shown = max(mix(kRockTone, rock, 1.0 + max(0.5 * close, (0.9 - 0.6 * sunk) * high)), vec3(0.0));
        albedo = mix(kRockTone, shown, detail * (1.0 - 0.4 * calm));
    }
    float relief = dot(rock, vec3(0.3, 0.55, 0.15));
    // Moss gathers on ledges facing up ("cliffside" says which way is up for this copy) and
    // creeps further into the dark hollows, shaded by the rock under it.
    mossColor = mix(mossColor, mossTint, 0.6) * (0.55 + 1.1 * relief);
    float mossAmount = smoothstep(0.08, 0.35, n.y * cliffside + 0.35 * (0.3 - relief) + 0.3 * (mossTint.g - 0.35));
    albedo = mix(albedo, mossColor, mossAmount * 0.85);

    // The warm key light, and a soft lamp at the camera that keeps the rock readable outside it.
    vec3 toLight = normalize(lightpos - worldPos);
    float diffuse = max(dot(bumped, toLight), 0.0);
    vec3 light = vec3(1.5, 1.2, 0.85) * ((diffuse + 0.3) * reach);
    float lamp = max(dot(bumped, toEye), 0.0) * clamp(1.0 - eyeDistance / 90.0, 0.0, 1.0);
    light += vec3(0.5, 0.46, 0.42) * lamp + vec3(0.1, 0.09, 0.08);
    // Shafts of low sun through the rim above sweep across the wall, slanted, broad and soft: the
    // rock between them lies in shade. Close by they overtake the view and flare on the beat;
    // from high up a few broad ones (one or two in view) cross the beds and drift slowly down the
    // wall, a warm wash rather than a grille of bands over the stone; in the intro (where "t" is
    // held at 0) they drift along it by the scene's time.
    float drift = t < 0.001 ? 0.08 * t_scene : 0.4 * t;
    float across = fromHigh ? worldPos.z / 45.0 - worldPos.y / 60.0 - 0.04 * t
                            : worldPos.z / 22.0 + worldPos.y / 40.0 - drift;
    float shaft = abs(fract(across) - 0.5) * 2.0;
    // From high up their edges break up over the rock's light and dark patches.
    shaft += high * 0.5 * (probe - 0.45);
    shaft = smoothstep(0.35, 0.95, shaft);
    // Where they would crowd closer than a few pixels (far off, seen edge-on: some 600 texels of
    // the image across one) they merge into their mean.
    shaft = mix(shaft, 0.35, smoothstep(40.0, 120.0, texels)) * (1.0 + beatHit * (2.0 * close + 0.3 * high));
    if (closeBy) {
        // Close by: a lamp on the camera, bright on the near rock and falling off with distance,
        // and a low warm light from ahead raking across the relief, with warm highlights on the
        // faces turned to it and the cracks left in shadow; haze thickens away from us.
        float lampFall = 1.0 / (1.0 + eyeDistance * eyeDistance / 600.0);
        float facing = max(dot(bumped, toEye), 0.0);
        vec3 ahead = normalize(vec3(-0.6, 0.45, -1.0));
        float rake = max(dot(bumped, ahead), 0.0);
        // The light mirrored about the face, seen from the camera (reflect() written out).
        float gleam = max(2.0 * dot(bumped, ahead) * dot(bumped, toEye) - dot(ahead, toEye), 0.0);
        gleam *= gleam * gleam * gleam;  // ^4
        gleam *= gleam * gleam * fineness;  // ^12, none where the relief is flattened
        float cavity = smoothstep(0.08, 0.45, relief);
        vec3 closeLight = vec3(1.1, 1.0, 0.9) * lampFall * 1.4 * facing
                        + vec3(1.25, 0.82, 0.5) * (rake * rake * 3.4 + gleam * 2.4)
                        + vec3(0.06, 0.06, 0.07);
        closeLight = closeLight * (0.7 + 1.2 * shaft) + vec3(1.3, 0.85, 0.5) * (rake * rake * 3.0 * shaft);
        // The rim far above throws its ragged shadow across the wall (see "bed" in the vertex
        // stage): the beds above it lie in warm sun, those below in cool shade, so the flight
        // runs along a line of light, its edge soft (wider than a pixel at any distance shown).
        float sunEdge = 0.45;
        float sunlit = smoothstep(-sunEdge, sunEdge, bed);
        closeLight *= mix(vec3(0.42, 0.48, 0.62), vec3(1.3, 1.08, 0.8), sunlit);
        shaft *= 0.3 + 0.7 * sunlit;
        closeLight *= 0.5 + 0.5 * cavity;
        light = mix(light, closeLight, close);
    }
    if (fromHigh) {
        // The view from high up (distorted) looks down the wall at a slant: there the beds take
        // their colour along the wall (z), not its height, which the slant would draw out into
        // contour rings of the wall's bumps. Its relief is the picture's beds and cracks
        // embossed at a few texels, lit from along the beds: lips catch warm light, the seams
        // under them lie in cool shade. Where texels get smaller than a pixel the emboss fades
        // (it would sparkle). The light's strength is in "reach" (see the vertex stage).
        // As the view sinks onto the rock the emboss narrows to a texel and a half (see "probe"),
        // picking out the magnified cracks' lips and grain.
        float ledge = (2.0 + 0.5 * sunk) * (probe - relief) * (1.0 - smoothstep(3.0, 6.0, texels));
        // On the beat a front of warm light runs away from the camera along the beds, from the
        // nearest rock in view to some three times as far, flaring the lips it passes, fading as it
        // goes, hardest on the bar's first beat. Its distance is counted in the camera's height
        // above the wall (x), so it starts at the nearest rock however far the view has sunk.
        float run = (eyeDistance / max(eyePos.x + 5.0, 1.0) - 0.85 - 2.2 * saw) * 10.0;
        float front = max(1.0 - run * run, 0.0);
        front *= front * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5);
        // Close to the rock, where the front would sweep most of the view at once, and flare the
        // fine grain there, it is kept faint.
        float wash = front * (1.0 - 0.7 * sunk);
        vec3 highLight = vec3(1.4, 1.15, 0.88) * clamp(0.9 + 1.1 * wash + 3.0 * ledge * (1.0 + 4.0 * wash), 0.0, 5.0)
                       + vec3(0.1, 0.12, 0.18) * clamp(1.0 - 3.0 * ledge, 0.0, 2.0);
        // The shafts, the ledge's shadow and the beat's front light the haze too.
        vec3 shafts = mix(vec3(0.55, 0.5, 0.75), vec3(1.5, 1.12, 0.75), shaft);
        light = mix(light, highLight * (reach * sinkLight * shafts), high);
        sinkLight *= mix(vec3(1.0), shafts, 0.35) * (1.0 + wash);
    }
    // The intro (its routine holds "t" at 0 and counts the scene's seconds in "t_scene"): a low
    // warm light raking across the beds from one side, so every ledge throws a shadow under it,
    // and the light falling off towards the far end of the wall. Dawn comes over its eight bars:
    // the sunlight sweeps in across the wall from the left, the shade before it cool and dim,
    // and broad shafts of it (see "shaft" above) drift across the rock, growing as the light
    // does. On each bar's first beat a beam rakes across it (see "daylight" in the vertex stage).
    if (t < 0.001) {
        float rake = max(dot(n, normalize(vec3(0.3, 0.8, 0.5))), 0.0);
        float fall = 1.6 / (1.0 + eyeDistance * eyeDistance / 150.0);
        float sunlit = daylight.x, dawn = daylight.z;
        float lane = shaft * shaft * dawn;  // narrower than the shafts elsewhere, so they read
        float shafts = 0.4 + 2.2 * lane;
        // The bar's beam (see the vertex stage), grazing the relief from the left.
        float beam = max(1.0 - abs(daylight.y), 0.0);
        beam *= beam * beatHit;
        float graze = max(dot(bumped, vec3(0.3, 0.35, -0.89)), 0.0);
        vec3 sun = vec3(1.35, 0.88, 0.5)
                 * (rake * rake * 1.6 * sunlit * shafts + beam * (1.7 + 12.0 * graze * graze));
        vec3 shade = mix(vec3(0.6, 0.72, 1.0), vec3(1.0), sunlit) * (0.38 + 0.47 * dawn);
        light = (light * shade * (0.7 + 1.0 * lane + beam) + sun) * fall;
    }
    // The canyon (its scene time runs from 10.8 to 32.4 s) in daylight: the sky above the gorge
    // lights the upper rock and the faces turned up, cool, the sun the faces turned to it on the
    // wall it reaches, warm, and the rest lies in shade. So its walls read as walls and which way
    // is up shows while the view rolls. "cliffside" turns the first copy over.
    if (inCanyon()) {
        // On every beat the sunlit faces and the light far up the gorge swell and die away,
        // hardest on the bar's first beat; the shade and the sky's fill stay as they are.
        float pulse = (1.0 - saw) * (1.0 - saw) * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.55);
        float sky = daylight.x * (0.45 + 0.55 * max(bumped.y * cliffside, 0.0));
        float sunFacing = max(dot(bumped, vec3(0.58, 0.72 * cliffside, -0.29)), 0.0);
        light = light * daylight.z * vec3(0.7, 0.8, 0.98) + vec3(0.34, 0.48, 0.82) * sky
              + vec3(1.9, 1.2, 0.55) * (daylight.y * (0.15 + 1.5 * sunFacing * (1.0 + 0.3 * pulse)))
              + vec3(0.1, 0.14, 0.24) * (1.0 - daylight.y);
        // In the tumble, rock right in front of the camera (it starts facing the wall) would be lit
        // head-on and look flat: there a low warm light grazes it from above, picking out its
        // relief, and the lamp at the camera gives way to it.
        float graze = max(dot(bumped, vec3(0.2516, 0.8554 * cliffside, -0.4528)), 0.0);  // unit length
        light = light * (1.0 - 0.45 * near)
              + vec3(1.7, 1.1, 0.55) * (near * (0.15 + graze * graze) * (1.2 + 0.6 * pulse));
        // The rock stands in beds, each ending at its top in a ledge that juts out: the ledge's
        // lip catches the light, and the bed's face under it lies in its shadow, hardest right
        // under the lip. Where beds get thinner than a few pixels, they give way to the image.
        float inBed = fract(bed);
        float bedAa = fwidth(bed);
        float ledges = 1.0 - smoothstep(0.06, 0.2, bedAa);
        // Both edges of the shadow and of the lip sharp, a pixel wide at any distance: seen edge-on
        // the beds run as clean lines towards the gorge's end instead of soft ramps.
        float bedEdge = 1.0 / max(bedAa, 1e-3);
        float shade = clamp((inBed - 0.7) * bedEdge + 0.5, 0.0, 1.0);
        float lip = clamp((inBed - 0.9) * bedEdge + 0.5, 0.0, 1.0) * clamp((1.0 - inBed) * bedEdge, 0.0, 1.0);
        float shelter = 1.0 - 0.6 * shade;
        light *= mix(1.0, shelter + 0.95 * lip, ledges);
        // Across the beds the rock stands in buttresses some eleven units apart, each bed's block
        // set a little forward or back of the one under it: the face of each turned to the sun
        // (it comes from ahead, -z) lit, the one turned away in shade, broad bands fixed in the
        // rock that cross the flow of the walls. Where they would get narrower than a few pixels
        // they give way to the plain wall.
        float column = worldPos.z / 11.0 + 0.35 * fract(floor(bed) * 0.618);
        float columnAa = fwidth(column);
        float inColumn = fract(column);
        // Ramps rather than smoothsteps: every pixel drawn with this program pays for them.
        float sharp = 1.0 / (columnAa + 0.07);
        float litFace = clamp((0.15 - abs(inColumn - 0.15)) * sharp, 0.0, 1.0);
        float shadeFace = clamp((0.15 - abs(inColumn - 0.7)) * sharp, 0.0, 1.0);
        float buttress = clamp(1.5 - 5.0 * columnAa, 0.0, 1.0);
        // Each block (a buttress in one bed) juts out its own way, some hardly at all (the mean
        // where the beds get thinner than a few pixels).
        float jut = mix(0.6, fract(floor(column) * 0.7549 + floor(bed) * 0.5698) * 1.4, ledges);
        light *= 1.0 + buttress * jut * (0.7 * litFace * (1.0 + 0.5 * pulse) - 0.5 * shadeFace);
        // On the beat the ledges' lips flare and a band of light runs away along the beds' tops,
        // hardest on the bar's first beat, gone within a quarter of a beat.
        float run = (eyeDistance - 25.0 - 260.0 * saw) / 22.0;
        float front = max(1.0 - run * run, 0.0);
        float bedTop = smoothstep(0.5, 0.95, inBed);
        light += vec3(2.6, 1.7, 0.8) * (beatHit * ledges * (lip * (1.2 + 2.5 * front) + 1.2 * front * bedTop));
        // Where its texels are drawn out far past a pixel (the walls seen edge-on) the image
        // would smear: there the stone shows the strata instead, in broad, calm bands (three
        // beds to one, fading to their mean where they would get finer than a few pixels).
        float strata = bed / 3.0;
        float calmBands = 1.0 - smoothstep(0.08, 0.3, bedAa / 3.0);
        float strataBand = mix(0.5, clamp(0.5 + (abs(fract(strata) - 0.5) * 2.0 - 0.5) / max(2.0 * bedAa / 3.0, 1e-3), 0.0, 1.0), calmBands);
        float edgeOn = smoothstep(2.5, 7.0, texels);
        albedo = mix(albedo, kRockTone * (0.65 + 0.7 * strataBand), edgeOn);
        // Each bed its own stone, cream, ochre or rust, so the layers read where the image is too
        // fine or too drawn out to show them (the mean where the beds get thinner than a few pixels),
        // more distinct where the walls are seen edge-on: there the beds' sharp boundaries carry the
        // wall's structure.
        float layer = fract(floor(bed) * 0.618);
        vec3 stone = mix(vec3(1.2, 1.04, 0.86), vec3(0.92, 0.7, 0.6), layer);
        albedo *= mix(vec3(1.0), stone + (stone - 1.0) * edgeOn, ledges);
        // The sun deepens the stone's own colours; the shade keeps them cool.
        albedo = max(mix(vec3(dot(albedo, vec3(0.3, 0.55, 0.15))), albedo, 1.7), vec3(0.0));
    }
    vec3 color = albedo * light;

    // Stripes: seams of ember glow fixed in the rock, two a bar's sweep apart, flaring on the
    // beat and hardest on the bar's first beat. They stay where they are on the wall, so the
    // tumbling view carries them smoothly from frame to frame, and they stay warm, never white.
    if (cliff_stripes > 0.0) {
        float along = worldPos.z / 24.0 + 0.02 * worldPos.y;
        float width = 0.07 + 0.02 * bounce;
        float edge = fwidth(along) + 0.04;
        float line = smoothstep(width + edge, width - 0.02, abs(fract(along) - 0.5) * 2.0);
        color += stripeGlow * line;
    }

    // Rolled off rather than clipped where the light is close.
    color = color * 1.3 / (1.0 + color);
    float veil = fog;
    // From high up, rock seen edge-on (its texels drawn out far beyond a pixel) has no relief
    // left to show and would read as a flat smear: it sinks wholly into the haze, lit by the
    // low sun behind the card (see "fogColor" in the vertex stage); a trace of its drawn-out streaks left in
    // the glow read as a smear of light.
    veil = max(veil, high * smoothstep(5.0, 14.0, texels));
    // In its tumble the haze closes in a few units beyond the rock in front of the camera.
    veil = max(veil, tumble * clamp(0.07 * eyeDistance - 0.35, 0.0, 0.35));
    // Close by, the haze far ahead is lit by the low sun: the wall runs off into a glow.
    vec3 veilColor = mix(fogColor, vec3(0.92, 0.64, 0.4), close * smoothstep(0.2, 0.55, veil));
    veilColor *= sinkLight;
    if (inCanyon()) {
        // The canyon's haze is far walls, brighter where the sun reaches; without the strata's
        // bands, which draw the beds converging on the gorge's end out into radial streaks.
        // The sun by the pixel's own height, not the vertices': the rows drawn out beyond span
        // the screen, and light carried on them would fan out in streaks.
        float sun = cliffside > 0.0 ? smoothstep(-12.0, 8.0, worldPos.y) : 0.0;
        veilColor *= 0.85 + 0.25 * sun;
    }
    color = mix(color, veilColor, veil)
          + vec3(0.55, 0.42, 0.28) * (haze * 0.35 * (1.0 - canyon));
    // The rim's edge lit from behind and the sky above it, then the dust (see above).
    color += vec3(1.0, 0.6, 0.3) * rimLit;
    color = mix(color, sky, skyward);
    color += vec3(1.0, 0.8, 0.55)
           * (dust * (0.35 + 0.65 * shaft) * (1.0 + 2.0 * beatHit) * (1.0 - 0.75 * skyward));
    // Kept within what the screen shows: some drivers keep more under the blended cards.
    fragColor = vec4(min(color, vec3(1.0)), 1.0);
}
#endif
