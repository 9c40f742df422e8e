// The camcorder's viewfinder over the cave. Drawn twice on the same quad: with "blink_factor" 0 the
// frame picture over the whole screen ("ipos" in screen fractions: (0, 0, 1, 1) is all of it),
// together with the video look (scan lines, grain, a rolling bar, dark corners) and what changes
// by itself: the running time code, the sound level meters that jump on the beat and the zoom bar
// that runs to T as the camera zooms in on the last beat; with
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
uniform sampler2D tex;

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

flat out vec4 place;
flat out vec4 tens;  // the time code's digits, hours to frames: the same for every pixel
flat out vec4 ones;
// What is the same for every pixel, worked out once here: the lamp's glare (strength, and the
// core's and the bloom's -1 / width, and the screen's aspect), the video look's light (and the scan lines' strength and
// pitch), the meters' levels and the zoom bar's fill.
flat out vec4 glare;
flat out vec4 look;
flat out vec3 meters;
// How the picture is looked up: its size in texels, how many taps across the pixel and how many
// lookups in all (1: one texel a pixel); and the taps' spread in the picture's fractions.
flat out ivec4 sampling;
flat out vec2 spread;

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
    place = mix(ipos, recPlacement(), step(0.5, blink_factor));
    // The time code HH:MM:SS:FF of the tape, 25 frames a second, counted from the demo's start.
    int frames = int(max(t, 0.0) * 25.0);
    ivec4 values = ivec4(frames / 90000, (frames / 1500) % 60, (frames / 25) % 60, frames % 25);
    tens = vec4(values / 10);
    ones = vec4(values % 10);
    float hit = (1.0 - saw) * (1.0 - saw);
    float finale = clamp(beats - 287.0, 0.0, 1.0);
    // Swelling on every beat and flaring up over the last one, as the camera zooms in on it.
    // The swell is a punch that dies away smoothly over a quarter beat, as the walls' flare does:
    // the hot core flares and the bloom round it brightens a little, but it stays narrow, so the
    // shaft's middle keeps its bricks.
    float decay = clamp(1.0 - 3.5 * saw, 0.0, 1.0);
    float punch = decay * decay * (kick == 0.0 ? 1.0 : 0.55);
    // The lamp catches on the downbeat of bar 60 and flares up over a beat.
    float surge = step(240.0, beats) * exp2(-3.0 * (beats - 240.0));
    // Over the last two bars the glare builds up towards the zoom: in its core, and little in its
    // bloom, which spread a haze over the walls round the lamp.
    float build = smoothstep(278.0, 287.0, beats);
    glare = vec4((0.75 + 0.3 * punch + 0.8 * surge + 0.45 * build * (1.0 - finale)) *
                     (1.0 + 1.8 * finale),
                 -1.0 / (0.0004 + 0.0006 * punch + 0.001 * surge + 0.0008 * build + 0.002 * finale),
                 -1.0 / (0.008 + 0.004 * punch + 0.02 * surge + 0.008 * build + 0.12 * finale),
                 screen.y > 0.0 ? screen.x / screen.y : 16.0 / 9.0);
    // A flash on the bar's first beat; over the last beat the exposure drifts up as the camera
    // zooms into the lamp.
    float kickFlash = 0.015 * punch * (kick == 0.0 ? 1.0 : 0.0);
    float rows = max(screen.y, 1.0);
    look = vec4(kickFlash + 0.01 * bounce + 0.1 * finale * finale,
                clamp(rows / 360.0 - 1.0, 0.0, 1.0), 720.0 / rows / 3.0, 0.0);
    // Kicked up on every beat and highest on the bar's first.
    float accent = kick == 0.0 ? 1.0 : 0.75;
    meters.xy = clamp(vec2(0.3, 0.27) + vec2(0.62, 0.66) * hit * accent + vec2(0.05, -0.03) * bounce,
                      0.0, 1.0);
    // The zoom bar fills towards T over the last beat of the shot.
    meters.z = smoothstep(287.0, 287.5, beats);
    ivec2 size = max(textureSize(tex, 0), ivec2(1));
    vec2 footprint = vec2(size) / max(place.zw * screen, vec2(1.0));  // texels per pixel
    bool exact = all(lessThan(abs(footprint - 1.0), vec2(1e-3)));
    bool shrunk = max(footprint.x, footprint.y) > 1.0;
    int taps = shrunk && !exact ? 2 : 1;
    sampling = ivec4(size, taps, exact ? 1 : 4 * taps);
    spread = 0.25 * max(footprint - 1.0, vec2(0.0)) / vec2(size);
    gl_Position = vec4(-1.0 + 2.0 * (place.xy + corner * place.zw), -1.0, 1.0);
}
#endif

#ifdef fragmentcompile
flat in vec4 place;
flat in vec4 tens;
flat in vec4 ones;
flat in vec4 glare;
flat in vec4 look;
flat in vec3 meters;
flat in ivec4 sampling;
flat in vec2 spread;
out vec4 fragColor;

// Where this pixel lies in the picture, from its own window position rather than interpolated:
// exact on every rasterizer. Image row 0 is its top.
vec2 pictureUv()
{
    vec2 corner = (gl_FragCoord.xy / max(screen, vec2(1.0)) - place.xy) / place.zw;
    return vec2(corner.x, 1.0 - corner.y);
}

// The picture shrunk or stretched to the screen, alpha premultiplied. At one texel per pixel each
// pixel takes its own texel; otherwise bilinear lookups, and where the picture is shrunk two of
// them across the pixel's footprint, a box filter of its size, so thin marks keep their weight
// instead of flickering in and out. The lookups run in a loop whose length is the same for every
// pixel: llvmpipe then runs only the texels needed, where it would run both sides of a branch.
vec4 picture(vec2 uv)
{
    ivec2 size = sampling.xy;
    vec2 d = spread;
    int taps = sampling.z;
    int lookups = sampling.w;
    bool exact = lookups == 1;
    vec4 c = vec4(0.0);
    int k = 0;
    do {
        vec2 p = (uv + (k < 4 ? -d : vec2(d.x, -d.y))) * vec2(size) - 0.5;
        vec2 cell = floor(exact ? p + 0.5 : p);
        vec2 f = p - cell;
        ivec2 corner = ivec2(k & 1, (k >> 1) & 1);
        vec2 w = mix(1.0 - f, f, vec2(corner));
        vec4 s = texelFetch(tex, clamp(ivec2(cell) + corner, ivec2(0), size - 1), 0);
        c += (exact ? 1.0 : w.x * w.y) * vec4(s.rgb * s.a, s.a);
    } while (++k < lookups);
    return c / float(taps);
}

// Integer hash of a pixel and a frame number, 0 to 1: cheaper than a sine of large numbers.
float hash(uvec3 p)
{
    uint h = p.x * 1973u + p.y * 9277u + p.z * 26699u;
    h = (h ^ (h >> 13u)) * 0x5bd1e995u;
    h ^= h >> 15u;
    return float(h & 0xffffu) / 65535.0;
}

// What the video itself adds over the picture: dark scan lines three rows apart (at 720 lines, and
// only where the picture has rows enough to show them), a faint bar rolling down, faint grain that
// changes 30 times a second, and corners that fall off.
vec4 videoLook(vec2 uv)
{
    vec2 pixel = gl_FragCoord.xy;
    float lines = abs(fract(pixel.y * look.z) * 2.0 - 1.0) * look.y;
    float roll = smoothstep(0.06, 0.0, abs(fract(uv.y - 0.23 * t_scene) - 0.5));
    float grain = hash(uvec3(uvec2(pixel), uint(max(t, 0.0) * 30.0)));
    vec2 c = uv - 0.5;
    float corners = smoothstep(0.08, 0.75, dot(c, c) * 2.2);
    float dark = 0.1 * lines + 0.7 * corners + 0.03 * grain;
    float lightUp = 0.05 * roll + look.x;
    // Dark and light layers in one colour and alpha, premultiplied.
    return vec4(vec3(0.85, 0.95, 1.0) * lightUp, clamp(dark + lightUp, 0.0, 1.0));
}

// Signed distance to a box (centre c, half size h), measured square: exact along its sides,
// which is all the marks' edges and shadows need, and cheaper than round.
float box(vec2 p, vec2 c, vec2 h)
{
    vec2 d = abs(p - c) - h;
    return max(d.x, d.y);
}

// Seven-segment digits, segments a to g as bits 0 to 6.
const int kSegments[10] = int[10](63, 6, 91, 79, 102, 109, 125, 7, 127, 111);

// Distance to a digit in a 12 x 21 cell, p measured from its top-left corner, y down.
float digitDistance(vec2 p, int digit)
{
    int bits = kSegments[clamp(digit, 0, 9)];
    const vec2 across = vec2(3.9, 1.3), down = vec2(1.3, 4.0);
    float d = 1e4;
    if ((bits & 1) != 0) d = min(d, box(p, vec2(6.0, 1.5), across));
    if ((bits & 2) != 0) d = min(d, box(p, vec2(10.5, 6.0), down));
    if ((bits & 4) != 0) d = min(d, box(p, vec2(10.5, 15.0), down));
    if ((bits & 8) != 0) d = min(d, box(p, vec2(6.0, 19.5), across));
    if ((bits & 16) != 0) d = min(d, box(p, vec2(1.5, 15.0), down));
    if ((bits & 32) != 0) d = min(d, box(p, vec2(1.5, 6.0), down));
    if ((bits & 64) != 0) d = min(d, box(p, vec2(6.0, 10.5), across));
    return d;
}

// The time code: distance to its glyphs at image position q (1280 x 720 picture, y down). Only
// the digit whose cell the pixel lies in, and its pair's colon, are measured: the cells lie far
// enough apart.
float timecodeDistance(vec2 q)
{
    const float scale = 1.1, digitStep = 16.0, pairStep = 41.0;
    vec2 p = (q - vec2(996.0, 630.0)) / scale;
    int pair = int(clamp(floor((p.x + 2.0) / pairStep), 0.0, 3.0));
    float x0 = float(pair) * pairStep;
    bool second = p.x - x0 > 14.0;
    float digit = second ? ones[pair] : tens[pair];
    float d = digitDistance(p - vec2(second ? x0 + digitStep : x0, 0.0), int(digit));
    float cx = pair < 3 ? x0 + 2.0 * digitStep + 1.0 : -1e4;
    d = min(d, box(p, vec2(cx, 6.5), vec2(1.4)));
    d = min(d, box(p, vec2(cx, 15.0), vec2(1.4)));
    return d * scale;
}

// Two sound level meters (left, right) at the top, 16 segments each, kicked up on every beat and
// highest on the bar's first; they fall back over the beat. Premultiplied colour and coverage.
vec4 levelMeters(vec2 q, float pixel)
{
    vec2 levels = meters.xy;
    vec2 p = q - vec2(560.0, 52.0);
    int row = p.y < 12.0 ? 0 : 1;
    float level = row == 0 ? levels.x : levels.y;
    float segment = floor(p.x / 10.0);
    vec2 cell = vec2(segment * 10.0 + 4.0, float(row) * 12.0 + 4.0);
    float d = box(p, cell, vec2(3.8, 3.5));
    d = max(d, box(p, vec2(80.0, 10.0), vec2(80.0, 10.0)));
    float lit = step(segment + 0.5, level * 16.0);
    vec3 hue = segment < 11.0 ? vec3(0.55, 1.0, 0.5) : segment < 14.0 ? vec3(1.0, 0.9, 0.35)
                                                                        : vec3(1.0, 0.35, 0.25);
    float cover = clamp(0.5 - d / pixel, 0.0, 1.0) * (0.25 + 0.75 * lit);
    return vec4(hue * cover, cover);
}

// The cave's lamp hangs where the camera looks, at the centre of the picture: its glare on the
// lens, a hot core in a wide soft bloom, swelling on every beat and flaring up over the last one,
// as the camera zooms in on it. It stays in front of the shaft's dark far end. Premultiplied.
vec4 lampGlare(vec2 uv)
{
    vec2 d = (uv - 0.5) * vec2(glare.w, 1.0);
    float r2 = dot(d, d);
    float core = exp(r2 * glare.y);
    float bloom = exp(r2 * glare.z);
    float a = clamp(glare.x * (0.7 * core + 0.5 * bloom), 0.0, 0.95);
    return vec4(mix(vec3(1.0, 0.62, 0.3), vec3(1.0, 0.95, 0.82), core) * a, a);
}

// Paints `top` over `under`, both with alpha premultiplied.
vec4 over(vec4 top, vec4 under)
{
    return top + under * (1.0 - top.a);
}

void main()
{
    vec2 uv = pictureUv();
    vec4 c = picture(uv);
    if (blink_factor > 0.5) {
        // On for a beat, off for a beat; the light is fullest as the beat lands.
        float on = 1.0 - step(0.5, fract(0.5 * beats));
        float glow = 0.85 + 0.15 * (1.0 - saw);
        fragColor = vec4(c.a > 0.0 ? c.rgb / c.a * glow : vec3(0.0), c.a * on);
        return;
    }
    // Marks drawn here, in the frame picture's pixels; one screen pixel is `pixel` of them.
    vec2 q = uv * vec2(1280.0, 720.0);
    float pixel = 1280.0 / max(ipos.z * screen.x, 1.0);
    vec4 marks = vec4(0.0);
    float code = timecodeDistance(q);
    float zoom = meters.z;
    float bar = box(q, vec2(161.0 + 51.0 * zoom, 640.0), vec2(35.0 + 51.0 * zoom, 6.0));
    float mark = min(code, bar);
    float ink = clamp(0.5 - mark / pixel, 0.0, 1.0);
    marks = over(vec4(vec3(0.965, 0.965, 0.93) * ink, ink),
                 vec4(vec3(0.0), 0.55 * smoothstep(4.0, 0.0, mark)));
    marks = over(levelMeters(q, pixel), marks);
    vec4 layers = over(marks, over(c, over(lampGlare(uv), videoLook(uv))));
    // Straight alpha for source-alpha blending.
    fragColor = vec4(layers.a > 0.0 ? layers.rgb / layers.a : vec3(0.0), layers.a);
}
#endif
