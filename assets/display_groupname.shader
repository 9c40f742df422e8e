// The name card of the fly-by: a picture over the screen that flickers in and fades with
// "fadeout". A first look; its scene will refine it.
uniform vec2 screen;
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
    float line = floor(uv.y * screen.y * ipos.w * 0.5 / 3.0);
    float jitter = (fract(sin(line * 91.7 + floor(t * 20.0)) * 4375.5) - 0.5) * 0.02 * (1.0 - saw);
    vec4 c = texture(tex, uv + vec2(jitter, 0.0));
    float pulse = 0.08 * (1.0 - fract(beats)) * (kick == 0.0 ? 1.0 : 0.5) + 0.02 * bounce;
    float appear = clamp((t_scene - 10.0) * 2.0, 0.0, 1.0);
    fragColor = vec4(c.rgb * (1.0 + pulse), c.a * appear * (1.0 - fadeout));
}
#endif
