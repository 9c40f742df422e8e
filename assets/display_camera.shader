// The camcorder frame: the border picture and the recording mark; "blink_factor" 1 makes the
// picture blink once a beat. "ipos" here is in screen fractions for the size too, so (0, 0, 1, 1)
// is the whole screen. A first look; the cave scene will refine it.
uniform vec2 screen;
uniform vec4 ipos;
uniform float blink_factor;
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
    gl_Position = vec4(-1.0 + 2.0 * (ipos.xy + corner * ipos.zw), -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

void main()
{
    vec4 c = texture(tex, uv);
    float on = mix(1.0, step(0.5, fract(0.5 * beats)), blink_factor);
    // Camera noise: a little grain and a line that rolls down the frame.
    vec2 pixel = floor(uv * screen);
    float grain = fract(sin(dot(pixel, vec2(12.9898, 78.233)) + t) * 43758.5453) - 0.5;
    float roll = smoothstep(0.0, 0.01, abs(fract(uv.y + 0.2 * t_scene) - 0.5) - 0.49);
    float beat = 0.05 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.02 * bounce;
    fragColor = vec4(c.rgb * (1.0 + beat) + 0.04 * grain + 0.05 * (1.0 - roll), c.a * on);
}
#endif
