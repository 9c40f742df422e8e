// The fly-by's name card: slides in over the panel just after the cards come in, its picture built
// from the left behind a bright edge; on every beat it kicks a little larger, splits into colour
// fringes a few pixels wide ("screen" gives the pixel size; widest on the bar's first beat) and a
// line of light runs down it; a light glides over it every bar, it sways against the panel
// behind it, and at bar 51 it leaves whole with the panel, swelling and fading within a beat.
uniform vec2 screen;
uniform vec4 ipos;  // x, y: lower-left corner in screen fractions; z, w: size in NDC units
uniform float fadeout;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

const float kNameIn = 5.5;  // just after bar 44, in scene seconds
// "fadeout" at bar 51 (it grows by 0.13 a second from scene second 10.5): the card leaves, over
// one beat (60 / 178 s) of "fadeout".
const float kOutAt = 0.563090;
const float kOutBeat = 0.043820;
// The name's centre, which the card and the panel swell about as they leave.
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
out float arrival;

void main()
{
    arrival = clamp((t_scene - kNameIn) / 0.35, 0.0, 1.0);
    float slide = 1.0 - arrival;
    float kickIn = (1.0 - saw) * (1.0 - saw) * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.6);
    vec2 at = -1.0 + 2.0 * ipos.xy + ((corner - 0.5) * (1.0 + 0.03 * kickIn) + 0.5) * ipos.zw;
    at.x -= 0.6 * slide * slide * slide;
    float since = max(t_scene - kNameIn, 0.0);
    at -= vec2(0.03 * sin(0.45 * since + 0.3), 0.015 * sin(0.3 * since + 1.3));
    // Out whole: swelling a little; once gone the quad folds to a point and costs nothing.
    float gone = leaving();
    at = kOutCentre + (at - kOutCentre) * (1.0 + 0.1 * gone) * step(gone, 0.999);
    gl_Position = vec4(at * shapeKept(), -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
in float arrival;
out vec4 fragColor;

const float kTwoPi = 6.2831853;

// Bilinear lookup by hand, clamped to the edge: the image carries the maximum anisotropy but no
// smaller levels, and how a driver filters that is its own choice (two Mesa drivers already
// moved and scaled this card differently). A missing image reads as GL's (0, 0, 0, 1).
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

// Four lookups spread over the pixel's footprint, so that where the card is drawn smaller than its
// image the letters neither shimmer nor depend on where a texel centre happens to fall (drawn
// larger, they only soften by a quarter pixel). Every pixel pays for both sides of a branch, so
// there is none.
vec4 fetchFiltered(sampler2D s, vec2 at, vec2 dx, vec2 dy)
{
    return 0.25 * (fetchLinear(s, at + 0.25 * (dx + dy)) + fetchLinear(s, at + 0.25 * (dx - dy)) +
                   fetchLinear(s, at - 0.25 * (dx + dy)) + fetchLinear(s, at - 0.25 * (dx - dy)));
}

void main()
{
    // Derivatives first, where every pixel of the quad takes part.
    vec2 dx = dFdx(uv), dy = dFdy(uv);

    // Colour fringes on the bar's first beat, a few pixels wide whatever the resolution.
    float fade = 1.0 - saw;
    // Gone within a quarter of a beat: lingering, it read as a blur.
    float fade4 = fade * fade * fade * fade;
    float split = (kick == 0.0 ? 1.0 : 0.5) * fade4 * fade4;
    float pixel = 1.0 / max(screen.x * ipos.z * 0.5, 1.0);
    // The tagline under the name (the image's rows from 0.62 down) never splits: its small
    // letters would blur into a coloured fringe.
    vec2 shift = vec2(4.0 * (1.0 - smoothstep(0.58, 0.63, uv.y)) * pixel * split, 0.0);
    vec4 c = fetchFiltered(tex, uv, dx, dy);
    // The fringes last a fraction of a beat: one lookup each.
    c.r = mix(c.r, fetchLinear(tex, uv - shift).r, split);
    c.b = mix(c.b, fetchLinear(tex, uv + shift).b, split);

    float glide = fract(0.25 * beats) * 1.8 - 0.4;
    float across = (uv.x + 0.35 * uv.y - glide - 0.2) * 10.0;
    float glint = exp(-across * across);
    float pulse = 0.07 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.02 * bounce;
    // 60 radians a second, the phase kept small: sine loses accuracy on large arguments.
    float flicker = sin(kTwoPi * fract(t * (60.0 / kTwoPi)));
    float flash = 1.6 * (1.0 - arrival) * arrival * 4.0 * (0.8 + 0.2 * flicker);
    // The line of light down the card on every beat.
    float line = (uv.y - (1.2 * saw - 0.1)) * 14.0;
    float scan = exp(-line * line) * fade * fade;
    vec3 color = c.rgb * (1.0 + pulse) + vec3(0.3, 0.26, 0.2) * glint + flash * c.rgb
               + vec3(1.0, 0.7, 0.4) * 0.45 * scan * c.a;
    // Built from the left over the first beats: hidden beyond a front following the plate's
    // slant, a bright edge at the front.
    float front = (t_scene - kNameIn) * 1.6 - 0.1;
    float slant = uv.x + 0.3 * (1.0 - uv.y) - 0.15;
    float built = 1.0 - smoothstep(front - 0.06, front, slant);
    float ahead = (slant - front + 0.05) * 20.0;
    float edge = exp(-ahead * ahead) * step(front, 1.3);
    color += vec3(1.0, 0.75, 0.45) * edge * c.a;
    // Out from bar 51 as a whole, never half a word: gone for good, so the close-up after it is
    // clean.
    float kept = 1.0 - smoothstep(0.0, 1.0, leaving());
    // The picture's plate is its half-transparent part: kept as a faint veil, so the letters and
    // the orange bars either side carry the card and the cliff shows through it.
    float cover = max(smoothstep(0.6, 0.95, c.a), 0.4 * smoothstep(0.0, 0.5, c.a));
    fragColor = vec4(color, cover * arrival * kept * built);
}
#endif
