// A band that scrolls sideways ("scroll_direction" +1 or -1) and fades with "fadeout": the
// title-card bands of the fly-by. A first look; its scene will refine it.
uniform vec4 ipos;  // x, y: lower-left corner in screen fractions; z, w: size in NDC units
uniform float scroll_direction;
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
    vec2 at = vec2(uv.x + scroll_direction * 0.1 * t_scene, uv.y);
    vec4 c = texture(tex, at);
    float pulse = 0.1 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.03 * bounce;
    float flicker = 0.97 + 0.03 * sin(40.0 * t + beats);
    fragColor = vec4(c.rgb * (flicker + pulse), c.a * (1.0 - 0.5 * fadeout));
}
#endif
