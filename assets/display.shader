// A picture laid over the screen with "alpha" (the credits of the asteroid tunnel), with a faint
// shimmer on the beat. A first look; its scene will refine it.
uniform vec2 screen;
uniform vec4 ipos;  // x, y: lower-left corner in screen fractions; z, w: size in NDC units
uniform float alpha;
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
    float wobble = 1.5 / max(screen.x, 1.0) * sin(uv.y * 60.0 + 8.0 * t) * (1.0 - saw);
    vec4 c = texture(tex, uv + vec2(wobble, 0.0));
    float pulse = 0.06 * (1.0 - fract(beats)) * (kick == 0.0 ? 1.0 : 0.5) + 0.02 * bounce;
    float appear = clamp(t_scene * 4.0, 0.0, 1.0);
    fragColor = vec4(c.rgb * (1.0 + pulse), c.a * alpha * appear);
}
#endif
