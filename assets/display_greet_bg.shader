// The panel behind the fly-by's name card: a slanted plate and the gold lines along it, wiped in
// from the left when the cards come in, brightening on every beat, and at bar 51 leaving whole with
// the name card, swelling and fading within a beat. The panel drifts against the name card over
// the shot.
uniform vec2 screen;
uniform vec4 ipos;  // x, y: lower-left corner in screen fractions; z, w: size in NDC units
uniform float fadeout;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

const float kCardsIn = 5.393259;  // bar 44, in scene seconds
const float kNameIn = 5.5;        // the name card's arrival, just after
// "fadeout" at bar 51 (it grows by 0.13 a second from scene second 10.5): the panel leaves, over
// one beat (60 / 178 s) of "fadeout".
const float kOutAt = 0.563090;
const float kOutBeat = 0.043820;
// The name card's centre, which the card and the panel swell about as they leave.
const vec2 kOutCentre = vec2(0.0, -0.14);

// 0 until bar 51, 1 a beat later.
float leaving()
{
    return clamp((fadeout - kOutAt) / kOutBeat, 0.0, 1.0);
}

// The layout is drawn for a 16:9 screen. On any other, what it places shrinks about the centre
// along one axis (letterboxed on a taller screen, pillarboxed on a wider one), so its pictures
// keep their shape; at 16:9 nothing moves.
vec2 shapeKept()
{
    if (screen.x <= 0.0 || screen.y <= 0.0) return vec2(1.0);
    return min(vec2(screen.y * 16.0 / (screen.x * 9.0), screen.x * 9.0 / (screen.y * 16.0)), vec2(1.0));
}

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;

void main()
{
    // A slow push in over the whole shot.
    float grow = 1.0 + 0.02 * (t_scene - kCardsIn) + 0.006 * (1.0 - saw) * (1.0 - saw);
    vec2 c = (corner - 0.5) * grow + 0.5;
    // A slow sway, the other way from the name card's: the two layers part and meet.
    float since = max(t_scene - kCardsIn, 0.0);
    vec2 drift = vec2(0.03 * sin(0.45 * since), 0.015 * sin(0.3 * since + 1.0));
    vec2 at = -1.0 + 2.0 * ipos.xy + c * ipos.zw + drift;
    // Out whole with the name card; once gone the quad folds to a point and costs nothing.
    float gone = leaving();
    at = kOutCentre + (at - kOutCentre) * (1.0 + 0.1 * gone) * step(gone, 0.999);
    gl_Position = vec4(at * shapeKept(), -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

// Bilinear lookup by hand, clamped to the edge: the image carries the maximum anisotropy but no
// smaller levels, and how a driver filters that is its own choice. A missing image reads as
// GL's (0, 0, 0, 1).
vec4 fetchLinear(sampler2D s, vec2 at)
{
    ivec2 size = textureSize(s, 0);
    if (size.x == 0 || size.y == 0) return vec4(0.0, 0.0, 0.0, 1.0);
    vec2 texel = clamp(at * vec2(size) - 0.5, vec2(0.0), vec2(size - 1));
    vec2 f = fract(texel);
    ivec2 a = ivec2(texel);
    ivec2 b = min(a + 1, size - 1);
    vec4 c00 = texelFetch(s, a, 0);
    vec4 c10 = texelFetch(s, ivec2(b.x, a.y), 0);
    vec4 c01 = texelFetch(s, ivec2(a.x, b.y), 0);
    vec4 c11 = texelFetch(s, b, 0);
    return mix(mix(c00, c10, f.x), mix(c01, c11, f.x), f.y);
}

void main()
{
    // Only the plate and the gold lines along it: the picture's sun is the big logo's, and over
    // the fly-by's own sky and rock it read as a ghost of it. The band's edges are soft by about
    // a pixel of the picture.
    vec4 c = fetchLinear(tex, uv);
    float sun = smoothstep(0.45, 0.7, c.r - c.b);
    float band = smoothstep(0.380, 0.392, uv.y) * (1.0 - smoothstep(0.762, 0.774, uv.y));
    float pulse = 0.06 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.02 * bounce;
    // A light runs along the gold lines once a bar, and they hum faintly like a lit sign's, 40
    // radians a second (the phase kept small: sine loses accuracy on large arguments).
    float glide = fract(0.25 * beats) * 1.8 - 0.4;
    float across = (uv.x + 0.3 * uv.y - glide - 0.2) * 8.0;
    float hum = 0.97 + 0.03 * sin(6.2831853 * fract(t * (40.0 / 6.2831853)));
    // In from the left with the name card's build (its front moves as fast across the screen), the
    // wipe following the plate's slant; out as a whole from bar 51. Ahead of the name the plate
    // and its lines alone read as a stray grey slab with a red line across the sky.
    float slant = uv.x + 0.3 * (1.0 - uv.y) - 0.3;
    float front = (t_scene - kNameIn) * 1.6 - 0.05;
    float wipe = 1.0 - smoothstep(front - 0.15, front, slant);
    float kept = 1.0 - smoothstep(0.0, 1.0, leaving());
    // The dark plate is only a faint veil over the rock, the gold lines framing the name.
    float solid = smoothstep(0.25, 0.6, c.r);
    vec3 color = c.rgb * (hum + pulse) + vec3(0.5, 0.4, 0.25) * exp(-across * across) * solid;
    fragColor = vec4(color, c.a * mix(0.12, 0.65, solid) * (1.0 - sun) * band * wipe * kept);
}
#endif
