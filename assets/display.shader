// A picture laid over the screen with "alpha": the credits of the asteroid tunnel. It sits still
// and readable; a soft light passes over it every two bars and it brightens a touch on the beat.
// It never lingers half there: it snaps in with the scene's cut (within the first 6 hundredths of
// "alpha"'s rise) and is gone within the first third of "alpha"'s fall.
uniform vec2 screen;
uniform vec4 ipos;  // x, y: lower-left corner in screen fractions; z, w: size in NDC units
uniform float alpha;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

// The layout is drawn for a 16:9 screen. On any other, the picture shrinks about the centre along
// one axis (letterboxed on a taller screen, pillarboxed on a wider one) and keeps its shape; at
// 16:9 nothing moves.
vec4 placement()
{
    vec2 k = screen.x > 0.0 && screen.y > 0.0
        ? min(vec2(screen.y * 16.0 / (screen.x * 9.0), screen.x * 9.0 / (screen.y * 16.0)), vec2(1.0))
        : vec2(1.0);
    return vec4(ipos.xy + (1.0 - k) * (0.5 - ipos.xy), ipos.zw * k);
}

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;

void main()
{
    vec4 place = placement();
    gl_Position = vec4(-1.0 + 2.0 * place.xy + corner * place.zw, -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

// One texel, clamped inside the picture.
vec4 texel(ivec2 at, ivec2 size)
{
    return texelFetch(tex, clamp(at, ivec2(0), size - 1), 0);
}

// Bilinear by hand, clamped to the edge, alpha premultiplied while filtering.
vec4 bilinear(vec2 at, ivec2 size)
{
    vec2 p = at * vec2(size) - 0.5;
    vec2 cell = floor(p);
    vec2 f = p - cell;
    ivec2 i = ivec2(cell);
    vec4 a = texel(i, size), b = texel(i + ivec2(1, 0), size);
    vec4 c = texel(i + ivec2(0, 1), size), d = texel(i + ivec2(1, 1), size);
    a.rgb *= a.a; b.rgb *= b.a; c.rgb *= c.a; d.rgb *= d.a;
    return mix(mix(a, b, f.x), mix(c, d, f.x), f.y);
}

void main()
{
    // Transparent for most of the scene: nothing to blend.
    if (alpha <= 0.0) discard;
    // Where this pixel lies in the picture, from its window position (exact on every rasterizer
    // rather than interpolated), and the picture shrunk to the screen by a box filter of the
    // pixel's footprint, so that thin lettering neither flickers nor differs between GPUs.
    vec4 place = placement();
    vec2 cover = max(0.5 * place.zw * screen, vec2(1.0));  // the quad's size in pixels
    vec2 corner = (gl_FragCoord.xy - place.xy * screen) / cover;
    // A drift of a few pixels over the scene keeps it from looking pasted on.
    vec2 at = vec2(corner.x, 1.0 - corner.y) + vec2(0.0, 0.0004 * t_scene);
    ivec2 size = max(textureSize(tex, 0), ivec2(1));
    vec2 d = 0.25 * max(vec2(size) / cover - 1.0, vec2(0.0)) / vec2(size);
    vec4 c = 0.25 * (bilinear(at + vec2(-d.x, -d.y), size) + bilinear(at + vec2(d.x, -d.y), size)
                   + bilinear(at + vec2(-d.x, d.y), size) + bilinear(at + vec2(d.x, d.y), size));
    c = c.a > 0.0 ? vec4(c.rgb / c.a, c.a) : vec4(0.0);
    float aspect = screen.x / max(screen.y, 1.0);
    float sweep = fract(0.125 * beats) * 2.0 - 0.5;
    float across = (uv.x * aspect * 0.5625 + 0.4 * uv.y - sweep) * 7.0;
    float glint = exp(-across * across);
    float pulse = 0.06 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.015 * bounce;
    vec3 color = c.rgb * (1.0 + pulse + 0.3 * glint * (0.9 + 0.1 * sin(6.2831853 * fract(0.47746 * t))));
    float shown = t_scene < 5.0 ? smoothstep(0.0, 0.06, alpha) : smoothstep(0.7, 1.0, alpha);
    fragColor = vec4(color, c.a * shown);
}
#endif
