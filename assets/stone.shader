// Stone: the cave's brick walls, with moss grown on the ledges and in the mortar. Two lights: the
// warm lamp of the cave at "lightpos" (its reach "lightradius" and "falloff"), which also glows in
// the foggy air and flares on the beat, and the key light: the camcorder's own lamp, a cone along
// the view from just beside the lens, bright on the near rock and falling off fast to dark. The
// camcorder's exposure rolls the result off instead of clipping. The mesh is +z up; the fog is
// "fog_color", the clear colour, so the shaft's far end sinks into it instead of ending in a
// cut-out.
uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec3 worldNormal;
flat out vec3 eyePos;
flat out vec3 viewDir;
flat out vec3 lampColor;

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

void main()
{
    worldPos = position.xyz;
    worldNormal = normal;
    eyePos = cameraPosition();
    viewDir = cameraDirection();
    // The cave's lamp: warm, flickering a little like a flame, flaring on every beat (most on the
    // bar's first) and burning up over the last beat, when the camcorder zooms in. The flicker's
    // sines take small arguments only (the clock as whole turns, or the scene's seconds), which
    // agree on every GPU.
    float flame = 6.2831853 * fract(1.1140846 * t);  // 7 rad/s
    float flicker = 0.92 + 0.08 * sin(flame + 3.0 * sin(1.3 * t_scene)) * sin(3.1 * t_scene);
    float hit = (1.0 - saw) * (1.0 - saw);
    float pulse = 1.0 + 1.6 * hit * (kick == 0.0 ? 1.0 : 0.5);
    float finale = clamp(beats - 287.0, 0.0, 1.0);
    lampColor = vec3(1.6, 1.0, 0.55) * flicker * pulse * (1.0 + 1.5 * finale);
    gl_Position = matrix * position;
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;
uniform sampler2D moss;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;
uniform vec3 fog_color;

in vec3 worldPos;
in vec3 worldNormal;
flat in vec3 eyePos;
flat in vec3 viewDir;
flat in vec3 lampColor;
out vec4 fragColor;

const float kBrickScale = 0.065;  // one brick image every 15 units: courses about 2.5 units high
const vec3 kBrickTone = vec3(0.443, 0.4, 0.333);  // the brick image's mean
const vec3 kMossTone = vec3(0.25, 0.325, 0.15);   // the moss image's mean

// Bilinear lookup by hand, wrapping like GL_REPEAT. The driver's own filtered lookups crawl where
// a surface is seen edge-on (the images carry the maximum anisotropy but no smaller levels). The
// cave's images are powers of two: they wrap with a mask, exact for negative positions too.
vec3 fetchLinear(sampler2D s, vec2 uv)
{
    ivec2 size = max(textureSize(s, 0), ivec2(1));
    vec2 texel = uv * vec2(size) - 0.5;
    vec2 f = fract(texel);
    ivec2 mask = size - 1;
    ivec2 a = ivec2(floor(texel)) & mask;
    ivec2 b = (a + 1) & mask;
    vec3 c00 = texelFetch(s, a, 0).rgb;
    vec3 c10 = texelFetch(s, ivec2(b.x, a.y), 0).rgb;
    vec3 c01 = texelFetch(s, ivec2(a.x, b.y), 0).rgb;
    vec3 c11 = texelFetch(s, b, 0).rgb;
    return mix(mix(c00, c10, f.x), mix(c01, c11, f.x), f.y);
}

// A smaller level made by hand: where one pixel covers more than a texel, three lookups spread
// over the pixel's footprint are averaged (a box filter of its size), and past a few texels the
// picture's mean takes over. Without it the fine mortar lines crawl and sparkle as grain. The
// lookups' differences give the brightness slope at the same scale (per uv unit), for the relief:
// slopes from screen derivatives would differ with each GPU's way of taking them. Three lookups
// in an L, not four in a square: the brick is most of the cave's frame cost.
vec3 fetchFiltered(sampler2D s, vec2 uv, vec2 footprint, vec3 mean, out vec2 slope)
{
    const vec3 luma = vec3(0.3, 0.5, 0.2);
    // Seen edge-on the footprint is long and thin: its mean size decides when the picture's mean
    // takes over, so grazing walls near the lens stay sharp across and only blur along.
    float texels = sqrt(footprint.x * footprint.y) * float(textureSize(s, 0).x);
    vec2 d = max(0.3 * footprint, vec2(0.5 / float(textureSize(s, 0).x)));
    vec3 a = fetchLinear(s, uv - d);
    vec3 b = fetchLinear(s, uv + vec2(d.x, -d.y)), c = fetchLinear(s, uv + vec2(-d.x, d.y));
    float la = dot(a, luma);
    slope = vec2(dot(b, luma) - la, dot(c, luma) - la) / (2.0 * d);
    return mix((a + b + c) * (1.0 / 3.0), mean, smoothstep(5.0, 16.0, texels));
}

// Brick laid on the plane the wall faces most; courses run level (along z) on the walls. Taking the plane the normal is closest to (not a favoured one past a threshold) keeps the
// stretch of a slanted face small; selected, not branched on, since shader cores (and llvmpipe)
// run both sides of a branch whenever neighbouring pixels differ.
vec2 brickPlane(vec3 p, vec3 a)
{
    bool alongX = a.x >= a.y && a.x >= a.z;
    bool alongY = !alongX && a.y >= a.z;
    return alongX ? p.yz : alongY ? p.xz : p.xy;
}

// A slope in the brick's plane, turned into the model's axes.
vec3 planeSlope(vec2 slope, vec3 a)
{
    bool alongX = a.x >= a.y && a.x >= a.z;
    bool alongY = !alongX && a.y >= a.z;
    return alongX ? vec3(0.0, slope) : alongY ? vec3(slope.x, 0.0, slope.y) : vec3(slope, 0.0);
}

// Light scattered by the fog between the eye and the wall from a point lamp: the integral of
// 1 / distance^2 along the ray.
float airGlow(vec3 eye, vec3 dir, float len, vec3 lamp)
{
    vec3 toLamp = lamp - eye;
    float along = dot(toLamp, dir);
    float miss = max(length(toLamp - along * dir), 0.5);
    return (atan((len - along) / miss) + atan(along / miss)) / miss;
}

void main()
{
    // Footprints first, while every pixel of the quad is still on the same path.
    vec3 p = worldPos * kBrickScale;
    vec3 reach3 = kBrickScale * (abs(dFdx(worldPos)) + abs(dFdy(worldPos)));
    vec3 n = normalize(worldNormal);
    vec3 an = abs(n);
    // Shifted so that each plane's brick is offset against the others' where a faceted wall
    // changes plane, rather than lining up in a grid.
    vec2 uv = brickPlane(p + vec3(0.61, 0.37, 0.0), an);
    vec2 footprint = brickPlane(reach3, an);

    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    vec3 v = toEye / max(eyeDistance, 1e-4);
    if (dot(n, v) < 0.0) n = -n;

    vec2 slope;
    vec3 brick = fetchFiltered(tex, uv, footprint, kBrickTone, slope);
    vec3 grad = planeSlope(slope, an);
    float finest = sqrt(footprint.x * footprint.y);
    float detail = 1.0 - smoothstep(3.0, 10.0, finest * 1024.0);
    // Mortar and chipped faces are the dark parts of the brick image: they read as hollows, a
    // third of a unit deep, fading with the detail.
    float height = dot(brick, vec3(0.3, 0.5, 0.2));
    grad *= kBrickScale * 0.35 * detail;
    vec3 bumped = normalize(n - (grad - dot(grad, n) * n));

    // Moss on the ledges (faces turned up) and creeping into the mortar below them, in patches
    // finer than the brick so it reads as growth rather than a green wash; far off its mean will do.
    vec2 mossUv = 3.0 * uv;
    vec3 mossColor = kMossTone;
    if (detail > 0.0) mossColor = mix(kMossTone, fetchLinear(moss, mossUv), detail);
    float ledge = 0.7 * smoothstep(0.5, 0.9, n.z + 0.6 * mossColor.g - 0.4 * height);
    float mortar = smoothstep(0.3, 0.12, height) * smoothstep(-0.2, 0.4, n.z);
    // The brick a little redder and the moss greener than their images, so the two part by colour.
    brick = mix(vec3(dot(brick, vec3(0.3, 0.5, 0.2))), brick, 1.2) * vec3(1.04, 0.97, 0.93);
    vec3 albedo = mix(brick, mix(brick, mossColor, 0.7) * vec3(0.7, 1.0, 0.55), max(ledge, 0.4 * mortar));
    float wet = 1.0 - ledge;

    // The cave's lamp at the shaft's middle: warm, reaching a little beyond its radius so the
    // shaft's far ends keep a trace of it.
    vec3 toLight = lightpos - worldPos;
    float lightDistance = length(toLight);
    vec3 l = toLight / max(lightDistance, 1e-4);
    float reach = pow(clamp(1.0 - lightDistance / lightradius, 0.0, 1.0), falloff);
    float carry = 0.25 / (1.0 + lightDistance * lightDistance / 1200.0);
    float diffuse = max(dot(bumped, l), 0.0);
    float shine = max(dot(reflect(-l, bumped), v), 0.0);
    shine *= shine * shine;  // ^3
    shine *= shine;          // ^6
    shine *= shine;          // ^12
    shine *= shine * wet;    // ^24
    vec3 light = lampColor * (reach + carry) * (diffuse + 0.5 * shine + 0.03);

    // The key light: the camcorder's lamp, a cone along the view, mounted a little beside the lens
    // so it rakes across the near rock. Bright close by, falling off fast to dark.
    vec3 side = normalize(cross(viewDir, vec3(1.0, 0.0, 0.0)) + vec3(0.0, 0.0, 1e-3));
    vec3 toKey = eyePos + 3.0 * side - worldPos;
    float keyDistance = length(toKey);
    vec3 k = toKey / max(keyDistance, 1e-4);
    float cone = smoothstep(0.8, 0.97, dot(-v, viewDir));
    float near = 1.0 / (1.0 + keyDistance * keyDistance / 110.0);
    float facing = max(dot(bumped, k), 0.0);
    vec3 halfway = normalize(k + v);
    float glint = max(dot(bumped, halfway), 0.0);
    glint *= glint * glint * glint * glint;  // ^5
    glint *= glint;                          // ^10
    glint *= glint;                          // ^20
    glint *= glint * wet;                    // ^40
    light += vec3(0.92, 0.96, 1.0) * 6.5 * near * (0.45 + 0.55 * cone) * (facing + 0.8 * glint);
    // Fill: the cave's own dim blue, lifted a little as the lamp flares.
    light += vec3(0.02, 0.03, 0.06) * (1.0 + 0.3 * lampColor.g);

    // Exposure: the camcorder rolls bright parts off instead of clipping them. Coming out of the
    // black it opens up wide and settles over the first bar, so the shaft is seen at once.
    float exposure = 2.1 * (1.0 + 1.6 * (1.0 - smoothstep(0.3, 3.5, t_scene)));
    vec3 color = vec3(1.0) - exp(-exposure * albedo * light);
    // Faces turning away from the eye darken towards their edges, so every ledge and bulge shows
    // its outline; then an S-curve pulls the mid-tones apart.
    color *= mix(0.15, 1.0, smoothstep(0.0, 0.6, dot(n, v)));
    color = mix(color, color * color * (3.0 - 2.0 * color), 0.7);
    // A thin haze deepening with distance, darker than the clear colour so the shadows stay
    // deep; complete only at the far plane, where whatever it cuts away sinks into the clear colour.
    float haze = min(1.0 - exp(-eyeDistance * 0.01), 0.75);
    color = mix(color, 0.5 * fog_color, haze);
    color = mix(color, fog_color, smoothstep(125.0, 185.0, eyeDistance));
    // The lamp's halo in the air, seen on the walls around it: it thins out where the wall lies
    // far behind the lamp, since the far end of the shaft may be clipped away.
    vec3 toLamp = lightpos - eyePos;
    float behind = eyeDistance - dot(toLamp, -v);
    float halo = airGlow(eyePos, -v, eyeDistance, lightpos) * (1.0 - smoothstep(10.0, 45.0, behind));
    color += vec3(1.0, 0.5, 0.2) * min(halo * halo * 0.03, 0.6) * lampColor.g;
    fragColor = vec4(color, 1.0);
}
#endif
