// A warning band across the whole screen, its picture repeating sideways and scrolling one way
// ("scroll_direction" +1) or the other (-1): the title-card bands of the fly-by. "ipos" gives its
// lower edge and height as fractions of the screen (y, w; x and z shift and scale the repeat).
// It unfolds from its middle line when the cards come in and kicks forward on every beat; it fades
// out whole just before "fadeout" starts parting the bands, so no letter is seen cut by the
// screen's edge.
uniform vec4 ipos;
uniform float scroll_direction;
uniform float fadeout;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

const float kCardsIn = 5.393259;  // bar 44, in scene seconds
const float kThin = 0.7;
// Scene seconds: gone within about a beat, as "fadeout" starts to grow at 10.5 (by 0.13 a second:
// kGoneFadeout a little after kGoneAt).
const float kLeaveFrom = 10.25;
const float kGoneAt = 10.6;
const float kGoneFadeout = 0.014;
// Only the picture's lettered middle is shown, its words filling the band so they read on a small
// screen; its hazard stripes, a busy grille of slivers there, give way to a plain lit edge.
const float kFirstRow = 0.19;
const float kRowsShown = 0.62;

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;

void main()
{
    float unfold = smoothstep(kCardsIn, kCardsIn + 0.35, t_scene);
    // A thin band: seven tenths of the given height, kept against the screen's edge it runs
    // along (the lower band's bottom, the upper band's top), so the cliff shows between them.
    float height = kThin * ipos.w;
    float base = ipos.y + ipos.w * 0.5 < 0.5 ? ipos.y : ipos.y + ipos.w - height;
    float y = base + height * (0.5 + (corner.y - 0.5) * unfold);
    // Once gone and parting, the quad folds to a line and costs nothing.
    y = mix(y, base, step(kGoneFadeout, fadeout));
    gl_Position = vec4(2.0 * corner.x - 1.0, 2.0 * y - 1.0, -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

// Bilinear lookup by hand, repeating sideways and clamped at the band's edges: the image carries
// the maximum anisotropy but no smaller levels, and how a driver filters that is its own choice.
// A missing image reads as GL's (0, 0, 0, 1).
vec4 fetchLinear(sampler2D s, vec2 at)
{
    ivec2 size = textureSize(s, 0);
    if (size.x == 0 || size.y == 0) return vec4(0.0, 0.0, 0.0, 1.0);
    vec2 texel = at * vec2(size) - 0.5;
    texel.y = clamp(texel.y, 0.0, float(size.y - 1));
    vec2 f = fract(texel);
    float column = floor(texel.x);
    // Rounding in mod() can land exactly on the width: the clamp keeps the read inside.
    int ax = clamp(int(mod(column, float(size.x))), 0, size.x - 1);
    int bx = clamp(int(mod(column + 1.0, float(size.x))), 0, size.x - 1);
    int ay = int(texel.y), by = min(ay + 1, size.y - 1);
    vec4 c00 = texelFetch(s, ivec2(ax, ay), 0);
    vec4 c10 = texelFetch(s, ivec2(bx, ay), 0);
    vec4 c01 = texelFetch(s, ivec2(ax, by), 0);
    vec4 c11 = texelFetch(s, ivec2(bx, by), 0);
    return mix(mix(c00, c10, f.x), mix(c01, c11, f.x), f.y);
}

void main()
{
    // As many repeats across the screen as keep the picture's proportions at the band's full
    // height (the derivatives give its width and, with the unfold, its height in pixels), so
    // the picture opens from its middle line rather than squeezing in sideways.
    vec2 size = vec2(textureSize(tex, 0));
    float unfold = max(smoothstep(kCardsIn, kCardsIn + 0.35, t_scene), 1e-3);
    float pixelsWide = 1.0 / max(abs(dFdx(uv.x)), 1e-6);
    float pixelsHigh = 1.0 / max(abs(dFdy(uv.y)), 1e-6) / unfold;
    float repeats = pixelsWide / pixelsHigh * kRowsShown * size.y / max(size.x, 1.0) * max(ipos.z, 1e-3);

    // A steady crawl with a shove on every beat that eases off, as fast across the screen as
    // when the whole picture showed.
    float hit = 1.0 - (1.0 - saw) * (1.0 - saw);
    float travel = kRowsShown * (0.35 * t_scene + 0.06 * (floor(beats) + hit));
    // Kept to one turn of the picture: large texture coordinates lose their fraction.
    float offset = fract(ipos.x - scroll_direction * travel);
    vec2 at = vec2(uv.x * repeats + offset, kFirstRow + kRowsShown * uv.y);
    // The band is drawn smaller than its picture: four lookups over each pixel's footprint.
    vec2 footprint = vec2(0.25 * repeats / pixelsWide, 0.25 * kRowsShown / pixelsHigh);
    vec4 c = 0.25 * (fetchLinear(tex, at + footprint) + fetchLinear(tex, at - footprint) +
                     fetchLinear(tex, at + vec2(footprint.x, -footprint.y)) +
                     fetchLinear(tex, at - vec2(footprint.x, -footprint.y)));

    // Kept calm, a frame around the name card rather than a rival to it: a little dimmer,
    // brightening only with the beat's shove.
    float pulse = 0.12 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.03 * bounce;
    // A faint hum like a lit sign's, 40 radians a second, the phase kept small: sine loses
    // accuracy on large arguments.
    float hum = 0.78 + 0.02 * sin(6.2831853 * fract(t * (40.0 / 6.2831853)) + 3.0 * uv.x);
    // Only the letters and the lit edges carry the band: the backing is a dark veil.
    // The letters' orange glow turns into a dark rim, which keeps them legible over the bright
    // sky; left orange and brightened on the beat over the rock, it read as a second, offset copy
    // of each letter.
    float lit = smoothstep(0.5, 0.9, max(c.r, c.g));
    float glow = smoothstep(0.12, 0.35, max(c.r, c.g));
    // The edge: a line of amber light a pixel and a half thick along each side of the band.
    float fromEdge = min(uv.y, 1.0 - uv.y) * pixelsHigh * unfold;
    float edge = 1.0 - smoothstep(1.0, 2.0, fromEdge);
    float cover = max(max(lit, 0.6 * glow), mix(0.5, 0.9, edge));
    vec3 color = mix(c.rgb * lit, vec3(1.0, 0.62, 0.16), edge) * (hum + pulse);
    float kept = 1.0 - smoothstep(kLeaveFrom, kGoneAt, t_scene);
    fragColor = vec4(color, min(c.a, cover) * 0.85 * kept);
}
#endif
