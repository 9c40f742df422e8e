// The background card of the fly-by's titles: a picture that breathes with the beat and fades
// with "fadeout". A first look; its scene will refine it.
uniform vec4 ipos;  // x, y: lower-left corner in screen fractions; z, w: size in NDC units
uniform float fadeout;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;

void main()
{
    gl_Position = vec4(-1.0 + 2.0 * ipos.xy + corner * ipos.zw, -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

void main()
{
    vec4 c = texture(tex, uv + vec2(0.003 * sin(0.5 * t), 0.0));
    float pulse = 0.05 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.02 * bounce;
    float appear = clamp((t_scene - 5.9) * 2.0, 0.0, 1.0) * (0.9 + 0.1 * sin(0.5 * beats));
    fragColor = vec4(c.rgb * (1.0 + pulse), c.a * 0.8 * appear * (1.0 - fadeout));
}
#endif
