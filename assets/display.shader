// A picture laid over the screen with "alpha": the credits of the asteroid tunnel. It sits still
// and readable; a soft light passes over it every two bars and it brightens a touch on the beat.
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
    // Transparent for most of the scene: nothing to blend.
    if (alpha <= 0.0) discard;
    // A drift of a few pixels over the scene keeps it from looking pasted on.
    vec4 c = texture(tex, uv + vec2(0.0, 0.0004 * t_scene));
    float aspect = screen.x / max(screen.y, 1.0);
    float sweep = fract(0.125 * beats) * 2.0 - 0.5;
    float glint = exp(-pow((uv.x * aspect * 0.5625 + 0.4 * uv.y - sweep) * 7.0, 2.0));
    float pulse = 0.06 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.015 * bounce;
    vec3 color = c.rgb * (1.0 + pulse + 0.3 * glint * (0.9 + 0.1 * sin(3.0 * t)));
    fragColor = vec4(color, c.a * alpha);
}
#endif
