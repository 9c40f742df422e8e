// The camcorder's viewfinder over the cave. Drawn twice on the same quad: with "blink_factor" 0 the
// frame picture over the whole screen ("ipos" in screen fractions: (0, 0, 1, 1) is all of it),
// together with the video look (scan lines, grain, a rolling bar, dark corners); with
// "blink_factor" 1 the REC mark, moved into the free top-left corner of the frame, lit on every
// other beat.
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

// The REC mark's place: inside the top-left bracket, 13 % of the width wide, its 2:1 shape kept.
vec4 recPlacement()
{
    float aspect = screen.x > 0.0 && screen.y > 0.0 ? screen.x / screen.y : 16.0 / 9.0;
    float w = 0.13;
    float h = w * 0.5 * aspect;
    return vec4(ipos.x + 0.048 * ipos.z, ipos.y + ipos.w * (1.0 - 0.075) - h * ipos.w,
                w * ipos.z, h * ipos.w);
}

void main()
{
    vec4 place = mix(ipos, recPlacement(), step(0.5, blink_factor));
    gl_Position = vec4(-1.0 + 2.0 * (place.xy + corner * place.zw), -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

// Integer hash of a pixel and a frame number, 0 to 1: cheaper than a sine of large numbers.
float hash(uvec3 p)
{
    uint h = p.x * 1973u + p.y * 9277u + p.z * 26699u;
    h = (h ^ (h >> 13u)) * 0x5bd1e995u;
    h ^= h >> 15u;
    return float(h & 0xffffu) / 65535.0;
}

// What the video itself adds over the picture: dark scan lines three rows apart (at 720 lines),
// a faint bar rolling down, grain that changes 30 times a second, and corners that fall off.
vec4 videoLook()
{
    vec2 pixel = gl_FragCoord.xy;
    float lines = abs(fract(pixel.y * 720.0 / max(screen.y, 1.0) / 3.0) * 2.0 - 1.0);
    float roll = smoothstep(0.06, 0.0, abs(fract(uv.y - 0.23 * t_scene) - 0.5));
    float grain = hash(uvec3(uvec2(pixel), uint(max(t, 0.0) * 30.0)));
    vec2 c = uv - 0.5;
    float corners = smoothstep(0.25, 0.75, dot(c, c) * 2.2);
    float kickFlash = 0.05 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.0);
    float dark = 0.16 * lines + 0.55 * corners + 0.08 * grain;
    float lightUp = 0.06 * roll + kickFlash + 0.01 * bounce;
    // Dark and light layers in one colour and alpha for source-alpha blending.
    float a = clamp(dark + lightUp, 0.0, 1.0);
    vec3 rgb = a > 0.0 ? vec3(0.85, 0.95, 1.0) * lightUp / a : vec3(0.0);
    return vec4(rgb, a);
}

void main()
{
    vec4 c = texture(tex, uv);
    if (blink_factor > 0.5) {
        // On for a beat, off for a beat; the light is fullest as the beat lands.
        float on = 1.0 - step(0.5, fract(0.5 * beats));
        float glow = 0.85 + 0.15 * (1.0 - saw);
        fragColor = vec4(c.rgb * glow, c.a * on);
        return;
    }
    vec4 under = videoLook();
    // The frame picture over the video look.
    float a = c.a + under.a * (1.0 - c.a);
    vec3 rgb = a > 0.0 ? (c.rgb * c.a + under.rgb * under.a * (1.0 - c.a)) / a : vec3(0.0);
    fragColor = vec4(rgb, a);
}
#endif
