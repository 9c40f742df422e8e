// The group logo of the intro, drawn in two steps (9.1 s and 9.8 s): each step flashes in
// brightly, settles and then breathes with the beat, a warm glow swelling behind its letters on
// every beat (strongest on the bar's first) and dimming back over the beat.
uniform vec2 screen;
uniform vec4 ipos;  // x, y: lower-left corner in screen fractions; z, w: size in NDC units
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

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
    // A slight swell on every beat, about the logo's centre.
    float swell = 1.0 + 0.012 * (1.0 - saw) * step(9.1, t_scene);
    vec2 c = (corner - 0.5) * swell + 0.5;
    gl_Position = vec4((-1.0 + 2.0 * ipos.xy + c * ipos.zw) * shapeKept(), -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

// Bilinear lookup by hand, clamped to the edge. The driver's own filtered lookups are slow here:
// the images carry the maximum anisotropy but no smaller levels.
vec4 fetchLinear(sampler2D s, vec2 uv)
{
    ivec2 size = textureSize(s, 0);
    if (size.x == 0) return vec4(0.0);
    vec2 texel = clamp(uv * vec2(size) - 0.5, vec2(0.0), vec2(size - 1));
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
    // The first step is revealed by a sweep from the left with a bright front; each step lands
    // with a flash over the whole logo.
    float since = t_scene - 9.1;
    float front = clamp(since * 2.8, 0.0, 1.0) * 1.2;
    float reveal = 1.0 - smoothstep(front - 0.06, front, uv.x);
    float edge = exp(-abs(uv.x - front) * 40.0) * (1.0 - clamp(since, 0.0, 1.0));
    float sinceStep = t_scene > 9.8 ? t_scene - 9.8 : since;
    float flash = exp(-sinceStep * 5.0);

    // Channels pulled apart by a few pixels while it lands, and a flicker on the beat.
    float split = 6.0 / max(screen.x, 1.0) * flash;
    vec4 c = fetchLinear(tex, uv);
    if (split * screen.x > 0.25) {
        c.r = fetchLinear(tex, uv + vec2(split, 0.0)).r;
        c.b = fetchLinear(tex, uv - vec2(split, 0.0)).b;
    }
    float flicker = 1.0 + 0.04 * sin(37.0 * t + 3.0 * uv.y) * (1.0 - saw);
    float pulse = 0.15 * (1.0 - fract(beats)) * (kick == 0.0 ? 1.0 : 0.5) + 0.02 * bounce;
    vec3 color = c.rgb * (flicker + pulse) + vec3(0.9, 0.8, 0.6) * (0.6 * flash + edge);
    // The glow: a soft ellipse about the letters, under them where they are opaque; from 9.8 s
    // both steps draw it, each half as strong.
    float beat = 1.0 - fract(beats);
    beat *= beat * (kick == 0.0 ? 1.0 : 0.6);
    vec2 q = (uv - vec2(0.5, 0.45)) * vec2(2.2, 4.0);
    float halo = exp(-dot(q, q)) * (0.2 + 0.4 * beat) * reveal * (t_scene > 9.8 ? 0.5 : 1.0);
    float alpha = c.a * reveal;
    float total = alpha + halo * (1.0 - alpha);
    color = (color * alpha + vec3(1.0, 0.62, 0.3) * halo * (1.0 - alpha)) / max(total, 1e-4);
    fragColor = vec4(color, total);
}
#endif
