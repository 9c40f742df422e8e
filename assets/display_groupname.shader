// The fly-by's name card: slides in over the panel just after the cards come in, with a flash;
// splits into colour fringes a few pixels wide ("screen" gives the pixel size) on the first beat
// of every bar; a light glides over it every two bars; gone as "fadeout" nears 1.
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

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;
out float arrival;

void main()
{
    arrival = clamp((t_scene - kNameIn) / 0.35, 0.0, 1.0);
    float slide = 1.0 - arrival;
    vec2 at = -1.0 + 2.0 * ipos.xy + corner * ipos.zw;
    at.x -= 0.6 * slide * slide * slide;
    gl_Position = vec4(at, -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
in float arrival;
out vec4 fragColor;

void main()
{
    // Colour fringes on the bar's first beat, a few pixels wide whatever the resolution.
    float split = (kick == 0.0 ? 1.0 : 0.0) * pow(1.0 - saw, 4.0);
    float pixel = 1.0 / max(screen.x * ipos.z * 0.5, 1.0);
    vec2 shift = vec2(4.0 * pixel * split, 0.0);
    vec4 c = texture(tex, uv);
    c.r = mix(c.r, texture(tex, uv - shift).r, split);
    c.b = mix(c.b, texture(tex, uv + shift).b, split);

    float glide = fract(0.125 * beats) * 1.8 - 0.4;
    float glint = exp(-pow((uv.x + 0.35 * uv.y - glide - 0.2) * 10.0, 2.0));
    float pulse = 0.07 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.02 * bounce;
    float flash = 1.6 * (1.0 - arrival) * arrival * 4.0 * (0.8 + 0.2 * sin(60.0 * t));
    vec3 color = c.rgb * (1.0 + pulse) + vec3(0.3, 0.26, 0.2) * glint + flash * c.rgb;
    float gone = 1.0 - smoothstep(0.6, 1.0, fadeout);
    // The plate is a little translucent in the picture; the bands behind should not show through.
    float cover = smoothstep(0.0, 0.75, c.a);
    fragColor = vec4(color, cover * arrival * gone);
}
#endif
