// A rock adrift: a chipped stone of flat facets and a few craters with raised lips, shaped here
// from the round mesh it is drawn with, shaded as weathered stone with moss in its hollows and its
// fine relief taken from the picture's brightness. Lit by a lamp that falls off towards
// "lightradius" with "falloff", cool light thrown back by the walls on its dark side, a thin rim
// where it turns away, and fog with its own "fog_scale" and "fog_falloff". The lamp also glows in
// the haze in front of the rock. With the lamp circling it (the tunnel) the rock is hot: the
// cracks in its craters smoulder and flare on the beat. "distort" (0 or 1) makes it throb: all
// its cracks glow and faint scan lines run over it. In the cave the rock is
// cold: weathered stone lit by the cave's lamp, with the camcorder's lamp as fill and moss in soft
// patches.
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

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec3 worldNormal;
out float crater;  // 0 outside the craters, 1 at a crater's centre
out float facetTone;  // each facet a little lighter or darker than the next
flat out vec3 eyePos;  // the same at every corner: not interpolated
flat out vec3 screenUp;  // the picture's up and right, in the rock's own axes
flat out vec3 screenRight;
out float fog;

// The camera in model space: the point whose clip-space x, y and w all vanish.
vec3 cameraPosition()
{
    vec4 r0 = vec4(matrix[0][0], matrix[1][0], matrix[2][0], matrix[3][0]);
    vec4 r1 = vec4(matrix[0][1], matrix[1][1], matrix[2][1], matrix[3][1]);
    vec4 r3 = vec4(matrix[0][3], matrix[1][3], matrix[2][3], matrix[3][3]);
    return inverse(transpose(mat3(r0.xyz, r1.xyz, r3.xyz))) * -vec3(r0.w, r1.w, r3.w);
}

// The facets: planes (unit normal, distance from the centre); the rock is what lies inside all of
// them. Twelve near an icosahedron's corners, six further out that chip its edges.
const vec4 kFacets[18] = vec4[18](
    vec4(-0.084, 0.363, 0.928, 4.06), vec4(0.019, -0.676, 0.736, 4.41),
    vec4(-0.185, 0.417, -0.890, 4.07), vec4(-0.033, -0.339, -0.940, 4.18),
    vec4(0.483, 0.875, 0.030, 4.32), vec4(-0.415, 0.879, 0.234, 4.23),
    vec4(0.326, -0.942, -0.083, 4.65), vec4(-0.639, -0.767, 0.062, 4.30),
    vec4(0.917, -0.217, 0.333, 4.16), vec4(-0.867, -0.039, 0.496, 4.47),
    vec4(0.901, -0.103, -0.420, 4.56), vec4(-0.884, 0.032, -0.467, 4.70),
    vec4(-0.110, -0.849, 0.517, 4.77), vec4(-0.108, 0.045, -0.993, 4.80),
    vec4(0.967, 0.243, 0.080, 4.95), vec4(-0.644, -0.298, 0.704, 4.84),
    vec4(-0.570, -0.313, 0.760, 4.79), vec4(-0.985, -0.088, -0.147, 4.88));
// The craters: the direction of their centre, and 1 - cos of the angle out to their lip.
const vec4 kCraters[7] = vec4[7](
    vec4(-0.598, -0.793, 0.113, 0.043), vec4(-0.960, -0.136, -0.243, 0.048),
    vec4(0.147, 0.260, 0.954, 0.028), vec4(0.528, 0.013, 0.849, 0.072),
    vec4(0.423, 0.235, -0.875, 0.069), vec4(-0.617, 0.517, -0.594, 0.045),
    vec4(-0.610, 0.749, 0.257, 0.031));
const vec3 kStretch = vec3(1.1, 0.92, 1.0);

// The rock's surface in the direction d (unit) from its centre; `bowl` is how deep in a crater
// it lies, 0 outside and 1 at the centre.
vec3 rockSurface(vec3 d, out float bowl)
{
    float r = 5.6;
    for (int i = 0; i < 18; ++i) r = min(r, kFacets[i].w / max(dot(d, kFacets[i].xyz), 0.05));
    bowl = 0.0;
    for (int i = 0; i < 7; ++i) {
        // 0 at the centre, 1 at the lip: a round bowl inside, a raised lip around it.
        float x = (1.0 - dot(d, kCraters[i].xyz)) / kCraters[i].w;
        float inner = max(1.0 - x, 0.0);
        r += 12.0 * kCraters[i].w * (0.3 * exp(-12.0 * (x - 1.0) * (x - 1.0)) - inner);
        bowl = max(bowl, inner);
    }
    // Gentle swells, so that no facet is quite flat.
    r *= 1.0 + 0.03 * sin(3.0 * d.x + 2.0 * d.y) * sin(2.5 * d.z - 1.5 * d.x);
    return d * r * kStretch;
}

void main()
{
    // The round mesh gives only the directions; the shape is rockSurface's, and its normal comes
    // from two points next to this one, less than a mesh cell away.
    vec3 d = normalize(position.xyz + vec3(1e-6));
    vec3 side = normalize(cross(d, abs(d.y) < 0.9 ? vec3(0.0, 1.0, 0.0) : vec3(1.0, 0.0, 0.0)));
    vec3 up = cross(d, side);
    float bowl, unused;
    vec3 s0 = rockSurface(d, bowl);
    vec3 s1 = rockSurface(normalize(d + 0.05 * side), unused);
    vec3 s2 = rockSurface(normalize(d + 0.05 * up), unused);
    vec3 n = normalize(cross(s1 - s0, s2 - s0));
    if (dot(n, d) < 0.0) n = -n;
    // Rigid: the beat shows in the cracks' glow, never as a heaving surface (that swims in motion).
    vec4 p = vec4(s0, 1.0);
    worldPos = p.xyz;
    worldNormal = n;
    crater = bowl;
    // The same all over a flat facet, whose normal is the same: a tone of its own.
    facetTone = 0.8 + 0.4 * fract(dot(n, vec3(3.1, 5.7, 4.3)) + 0.5);
    eyePos = cameraPosition();
    screenUp = normalize(vec3(matrix[0][1], matrix[1][1], matrix[2][1]));
    screenRight = normalize(vec3(matrix[0][0], matrix[1][0], matrix[2][0]));
    gl_Position = matrix * p;
    // Fog by the depth in the world's units (clip w, whatever the rock is scaled by), so that a
    // scaled-down rock fogs like the walls by it, and a little thinner than they would have it:
    // the rock stays the thing to look at. It changes slowly over the mesh's cells.
    fog = 1.0 - exp(-pow(max(gl_Position.w, 0.0) * 0.7 * fog_scale / 100.0, fog_falloff));
}
#endif

#ifdef fragmentcompile
UNIT(0) uniform sampler2D tex;
UNIT(1) uniform sampler2D moss;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;
uniform vec3 fog_color;
uniform vec2 screen;

in vec3 worldPos;
in vec3 worldNormal;
in float crater;
in float facetTone;
flat in vec3 eyePos;
flat in vec3 screenUp;
flat in vec3 screenRight;
in float fog;
out vec4 fragColor;

const vec3 kLuma = vec3(0.3, 0.55, 0.15);
// The picture once every 20 units: coarse enough that its grain still shows across the rock
// when it is small in the picture, rather than fading into its mean.
const float kPictureScale = 0.05;

// Bilinear filtering done here from four texels. Some rasterizers' anisotropic filtering, with no
// smaller levels to fall back on, walks thousands of texels for a projection seen edge-on (and
// the three projections below always include such ones); four fetches cost the same everywhere.
vec3 bilinear(sampler2D image, vec2 uv)
{
    ivec2 size = max(textureSize(image, 0), ivec2(1));
    vec2 at = uv * vec2(size) - 0.5;
    vec2 cell = floor(at);
    vec2 f = at - cell;
    ivec2 i = clamp(ivec2(mod(cell, vec2(size))), ivec2(0), size - 1);
    ivec2 j = i + 1;
    j = ivec2(j.x < size.x ? j.x : 0, j.y < size.y ? j.y : 0);  // no integer division: dear per lane
    vec3 a = texelFetch(image, i, 0).rgb, b = texelFetch(image, ivec2(j.x, i.y), 0).rgb;
    vec3 c = texelFetch(image, ivec2(i.x, j.y), 0).rgb, d = texelFetch(image, j, 0).rgb;
    return mix(mix(a, b, f.x), mix(c, d, f.x), f.y);
}

// One texel, wrapping like GL_REPEAT.
vec3 nearest(sampler2D image, vec2 uv, ivec2 size)
{
    ivec2 i = clamp(ivec2(mod(floor(uv * vec2(size)), vec2(size))), ivec2(0), size - 1);
    return texelFetch(image, i, 0).rgb;
}

// A smaller level made by hand: where a pixel spans a texel or more, three bilinear lookups spread
// over the pixel's footprint (uv units per pixel) in a triangle are averaged, a box filter of its
// size; single texels there would sparkle. Past a few texels the image's mean takes over, judged
// by the footprint's mean size, so a face seen edge-on keeps its grain across and blurs only
// along. The plane through them gives the brightness slope at the same scale (per uv unit), for
// the relief: slopes from screen derivatives would differ with each GPU's way of taking them.
const vec3 kStoneTone = vec3(0.4, 0.32, 0.26);
vec3 boxLookup(sampler2D image, vec2 uv, vec2 footprint, out vec2 slope, out float detail)
{
    ivec2 size = max(textureSize(image, 0), ivec2(1));
    vec2 d = max(0.25 * footprint, vec2(0.5) / vec2(size));
    // At (-d.x, -d.y), (d.x, -d.y) and (0, d.y): centred across, a third lower along.
    vec3 a = bilinear(image, uv - d), b = bilinear(image, uv + vec2(d.x, -d.y));
    vec3 c = bilinear(image, uv + vec2(0.0, d.y));
    float la = dot(a, kLuma), lb = dot(b, kLuma), lc = dot(c, kLuma);
    detail = 1.0 - smoothstep(4.0, 12.0, sqrt(footprint.x * footprint.y) * float(size.x));
    slope = detail * vec2(lb - la, lc - 0.5 * (la + lb)) / vec2(2.0 * d.x, 2.0 * d.y);
    return mix(kStoneTone, (a + b + c) / 3.0, detail);
}

void main()
{
    // Footprints first, while every pixel of the quad is still on the same path.
    // "lightpos" at the rock's own centre marks the cave: there the rock is cold, a boulder
    // drifting down the shaft, and its light is the cave's lamp at the shaft's origin, here in the
    // rock's own units as the cave places it (half size, offset (12, 35 - 3.5 t_scene, 11), then
    // a quarter turn about z). Elsewhere (the tunnel) the lamp circles the rock, which is hot.
    float inside = 1.0 - smoothstep(4.0, 7.0, length(lightpos));
    float hot = 1.0 - inside;
    vec3 lamp = mix(lightpos, vec3(35.0 - 3.5 * t_scene, -12.0, -11.0), inside);
    float lampRadius = lightradius * (1.0 + inside);
    // The cold rock takes the picture four times larger: the grain and cracks of a stone's face,
    // not rows of bricks.
    vec3 p = worldPos * kPictureScale * (1.0 - 0.75 * inside);
    vec3 footprint = fwidth(p);

    vec3 n = normalize(worldNormal);
    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    toEye /= eyeDistance;
    if (dot(n, toEye) < 0.0) n = -n;

    // Stone from the two directions the surface faces most squarely, blended by how squarely; the
    // blend is sharp, so the third rarely has any weight, and what it has is taken off the other
    // two so that the blend stays seamless where the two change. Every lookup runs on every pixel
    // (a branch saves nothing here), so two projections rather than three.
    vec3 w = max(abs(n) - 0.3, vec3(0.0));
    w *= w;
    bool xLeast = w.x <= w.y && w.x <= w.z;
    bool zLeast = !xLeast && w.z <= w.y;
    float least = min(w.x, min(w.y, w.z));
    // First: along x unless x is the least (then y); second: along z unless z is (then y).
    float wa = (xLeast ? w.y : w.x) - least, wb = (zLeast ? w.y : w.z) - least;
    float sum = wa + wb;
    wa = sum > 1e-6 ? wa / sum : 0.5;
    wb = 1.0 - wa;
    vec2 sa, sb;
    float da, db;
    vec3 stone = wa * boxLookup(tex, xLeast ? p.xz : p.zy, xLeast ? footprint.xz : footprint.zy, sa, da)
               + wb * boxLookup(tex, zLeast ? p.xz : p.xy, zLeast ? footprint.xz : footprint.xy, sb, db);
    float detail = wa * da + wb * db;
    float h = dot(stone, kLuma);

    // Relief: the normal tilted along the brightness slope of the two projections, the dark
    // cracks a quarter of a unit deep.
    vec3 grad = wa * (xLeast ? vec3(sa.x, 0.0, sa.y) : vec3(0.0, sa.y, sa.x))
              + wb * (zLeast ? vec3(sb.x, 0.0, sb.y) : vec3(sb.x, sb.y, 0.0));
    // Gentle on the hot rock: deeper, its grain hammers the lit side into glittering dimples. The
    // cold rock's gentler still: deeper, its grain crumpled the facets like foil.
    grad *= kPictureScale * mix(0.07, 0.05, inside);
    vec3 facet = n;
    n = normalize(n - (grad - dot(grad, n) * n));

    // The lamp: hard and warm, fading out at "lightradius".
    vec3 toLight = lamp - worldPos;
    float lightDistance = length(toLight);

    // Weathered grey stone with only a trace of the picture's colour, so that it stands apart
    // from the walls; soot in the craters of the hot rock, moss in the hollows of the cold one.
    vec3 albedo = mix(vec3(h), stone, 0.3) * mix(vec3(0.86, 0.87, 0.9), vec3(0.9, 0.9, 0.92), inside) * mix(0.55 + 0.9 * h, 0.3 + 1.6 * h, hot);
    albedo *= (1.0 - 0.5 * hot * crater) * facetTone;
    // The cold rock a dull brown stone whatever picture it is given, darker than the walls' blocks
    // and with its facets shading well apart, so it reads as a heavy boulder, not as pale metal.
    albedo = mix(albedo, dot(albedo, kLuma) * vec3(1.0, 0.7, 0.45), 0.85 * inside);
    albedo *= (1.0 - 0.3 * inside * (h - 0.35)) * (1.0 + 1.5 * inside * (facetTone - 1.0));
    // Moss only tints: the nearest texel will do, and its mean where texels would sparkle. On the
    // cold rock it grows in a few soft patches, most in the craters and on the faces turned up
    // (a projected image would streak over the faces it meets edge-on).
    vec3 q = worldPos * kPictureScale;
    vec3 mossColor = mix(vec3(0.25, 0.325, 0.15), nearest(moss, q.xz * 1.3 + q.y * 0.4, textureSize(moss, 0)), detail);
    float patches = sin(0.8 * worldPos.x + 0.5 * worldPos.z + 1.3) * sin(0.6 * worldPos.y - 0.7 * worldPos.z + 0.4);
    mossColor = mix(mossColor, vec3(0.26, 0.4, 0.14) * (0.85 + 0.3 * patches), inside);
    float mossAmount = mix(smoothstep(0.55, 0.75, mossColor.g + 0.35 * n.y - 0.6 * h + 0.3),
                           smoothstep(0.2, 0.8, 0.6 * patches + 0.5 * n.y + crater), inside);
    albedo = mix(albedo, mossColor * vec3(0.7, 0.9, 0.55), (0.6 - 0.45 * hot) * mossAmount);

    // In the cave the camcorder's lamp, from just above and left of the lens, fills what the
    // cave's lamp leaves dark, so the facets still shade apart.
    vec3 carried = normalize(toEye + 0.6 * screenUp - 0.4 * screenRight);
    vec3 keyDir = toLight / max(lightDistance, 1e-4);
    float reach = pow(clamp(1.0 - lightDistance / lampRadius, 0.0, 1.0), falloff);
    float diffuse = max(dot(n, keyDir), 0.0);
    float carriedLight = inside * 1.5 * max(dot(n, carried), 0.0);
    vec3 halfway = normalize(keyDir + toEye);
    // The sheen from the facet, not the grain: on the grain it would glitter. The hot rock's
    // broad and dull, the lamp spread over a whole facet; the cold one's tighter.
    float sheen = max(dot(facet, halfway), 0.0);
    sheen *= sheen;
    sheen *= sheen;
    sheen *= sheen;  // ^8
    sheen *= mix(0.3, 0.05 * sheen * sheen, inside);  // ^24 on the cold rock, faint
    // The outline from the facets too: from the grain it would crawl.
    float nv = max(dot(mix(n, facet, hot), toEye), 0.0);
    float rim = (1.0 - nv) * (1.0 - nv);
    rim *= rim;  // ^4: a thin outline
    float hit = (1.0 - saw) * (1.0 - saw);
    float beat = 0.2 * hit * (kick == 0.0 ? 1.0 : 0.5) * (0.6 + 0.4 * bounce);
    // The cold rock also reads by its outline against the mist; the hot one by its key light, the
    // facets turned away from the lamp filled with the walls' cooler light, less of it deep in the
    // craters.
    vec3 front = vec3(0.12, 0.11, 0.1) * nv;
    vec3 rimColor = mix(vec3(1.0, 0.72, 0.48), mix(fog_color, vec3(0.85, 0.75, 0.62), 0.5), inside);
    // A lamp behind the rock outlines it in its own colour.
    vec3 toLamp = normalize(lamp - eyePos);
    float behind = max(dot(toLamp, -toEye), 0.0) * hot;
    // The hot rock's fill is the lamp's own light thrown back: from the wall across the tube,
    // which faces the lamp squarely and is the brightest thing in view, and from the glowing
    // lava below the picture, orange.
    float fromWall = 0.2 + max(-dot(n, lightpos) / max(length(lightpos), 1e-4), 0.0);
    float fromLava = max(dot(n, -screenUp), 0.0);
    vec3 fill = hot * (vec3(0.62, 0.46, 0.32) * fromWall + vec3(0.55, 0.2, 0.05) * fromLava) * (1.0 - 0.6 * crater);
    vec3 keyColor = mix(vec3(2.0, 1.6, 1.15), vec3(2.6, 1.9, 1.25), inside);
    vec3 sheenColor = vec3(1.0, 0.82, 0.6);
    vec3 light = keyColor * (diffuse + sheen * sheenColor) * reach + front
               + vec3(1.0, 0.94, 0.84) * carriedLight
               + rimColor * (mix(0.8, 1.2, inside) * rim) + inside * vec3(0.2, 0.21, 0.26) + beat
               + vec3(1.6, 1.05, 0.6) * (rim * behind) + fill;
    vec3 color = albedo * light;
    // The cold rock rolls its light off like the camcorder does the walls': clipped, its lit
    // facets burnt out to a pale, metallic white.
    color = mix(color, vec3(1.0) - exp(-1.2 * color), inside);

    // Heat: in the hot rock the cracks in and around its craters smoulder, flaring on every beat;
    // distorted, every crack glows.
    float cracks = (1.0 - smoothstep(0.12, 0.3, h)) * detail;  // none where the grain blurs: specks
    float throb = 0.35 + 0.65 * (1.0 - saw) * (0.75 + 0.25 * cos(1.5708 * beats));
    float embers = hot * smoothstep(0.05, 0.8, crater) * (0.5 + 0.5 * hit);
    color += vec3(1.0, 0.4, 0.1) * cracks * max(distort * throb, 1.4 * embers);
    // Four rows apart at 720 lines and faint, gone where the picture has too few rows to show them
    // without beating against its pixels.
    float rows = max(screen.y, 1.0);
    // The phase in whole turns first, so that the sine never sees a large argument.
    float scan = 0.5 + 0.5 * sin(6.2831853 * fract(gl_FragCoord.y / rows * 180.0 + 0.95493 * t));
    color *= 1.0 - 0.12 * distort * scan * clamp(rows / 360.0 - 1.0, 0.0, 1.0);

    // In the cave the walls' mist is thin and pale; fogged half as much, the boulder sinking away
    // below keeps its grey instead of turning into a dark blue blot against them.
    color = mix(color, fog_color, clamp(fog * (1.0 - 0.5 * inside), 0.0, 1.0));
    // High up the shaft (until bar 60) the boulder hangs before the lamp's glow far below: its body
    // darker and its outline caught in a crisp rim of that glow, brightest on the side facing the
    // lamp, so it stands out as a silhouette rather than a grey speck lost in the light.
    float silhouette = inside * (1.0 - step(240.0, beats));
    float edge = smoothstep(0.3, 0.7, 1.0 - max(dot(facet, toEye), 0.0));
    float facing = 0.35 + 0.65 * max(dot(facet, keyDir), 0.0);
    color = mix(color, color * 0.4 + vec3(2.8, 1.7, 0.75) * (edge * facing), silhouette);

    // The lamp seen through the haze when it hangs between the eye and the rock.
    vec3 ray = -toEye;
    float along = clamp(dot(lamp - eyePos, ray), 0.0, eyeDistance);
    float miss = length(eyePos + ray * along - lamp);
    color += vec3(1.0, 0.75, 0.45) * (exp(-miss * miss * 0.6) + 0.35 / (1.0 + miss * miss));
    fragColor = vec4(color, 1.0);
}
#endif
