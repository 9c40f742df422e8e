// The panel behind the fly-by's name card: the sun and its slanted plate, wiped in from the left
// when the cards come in, flaring on every beat, and gone as "fadeout" nears 1. The panel drifts
// against the name card over the shot, and the sun's lower half is cut into horizon stripes that
// crawl down on the beat and grow up the sun over the eight bars.
uniform vec2 screen;
uniform vec4 ipos;  // x, y: lower-left corner in screen fractions; z, w: size in NDC units
uniform float fadeout;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

const float kCardsIn = 5.393259;  // bar 44, in scene seconds
const float kShot = 10.786517;    // eight bars, in seconds

// The layout is drawn for a 16:9 screen. On any other, what it places shrinks about the centre
// along one axis (letterboxed on a taller screen, pillarboxed on a wider one), so its pictures
// keep their shape; at 16:9 nothing moves.
vec2 shapeKept()
{
    if (screen.x <= 0.0 || screen.y <= 0.0) return vec2(1.0);
    return min(vec2(screen.y * 16.0 / (screen.x * 9.0), screen.x * 9.0 / (screen.y * 16.0)), vec2(1.0));
}

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;

void main()
{
    // A slow push in over the whole shot.
    float grow = 1.0 + 0.02 * (t_scene - kCardsIn) + 0.006 * (1.0 - saw) * (1.0 - saw);
    vec2 c = (corner - 0.5) * grow + 0.5;
    // A slow sway, the other way from the name card's: the two layers part and meet.
    float since = max(t_scene - kCardsIn, 0.0);
    vec2 drift = vec2(0.03 * sin(0.45 * since), 0.015 * sin(0.3 * since + 1.0));
    gl_Position = vec4((-1.0 + 2.0 * ipos.xy + c * ipos.zw + drift) * shapeKept(), -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

const float kTwoPi = 6.2831853;

// Bilinear lookup by hand, clamped to the edge: the image carries the maximum anisotropy but no
// smaller levels, and how a driver filters that is its own choice. A missing image reads as
// GL's (0, 0, 0, 1).
vec4 fetchLinear(sampler2D s, vec2 at)
{
    ivec2 size = textureSize(s, 0);
    if (size.x == 0 || size.y == 0) return vec4(0.0, 0.0, 0.0, 1.0);
    vec2 texel = clamp(at * vec2(size) - 0.5, vec2(0.0), vec2(size - 1));
    vec2 f = fract(texel);
    ivec2 a = ivec2(texel);
    ivec2 b = min(a + 1, size - 1);
    vec4 c00 = texelFetch(s, a, 0);
    vec4 c10 = texelFetch(s, ivec2(b.x, a.y), 0);
    vec4 c01 = texelFetch(s, ivec2(a.x, b.y), 0);
    vec4 c11 = texelFetch(s, b, 0);
    return mix(mix(c00, c10, f.x), mix(c01, c11, f.x), f.y);
}

void main()
{
    // Heat shimmer over the sun, which swells on every second beat. The phases are kept small:
    // sine loses accuracy on large arguments.
    vec4 plain = fetchLinear(tex, uv);
    float sun = smoothstep(0.55, 0.8, plain.r - plain.b);
    float ripple = sin(40.0 * uv.y + kTwoPi * fract(t * (3.0 / kTwoPi)));
    vec4 c = sun > 0.0 ? fetchLinear(tex, uv + vec2(0.0015 * sun * ripple, 0.0)) : plain;
    float hit = (1.0 - saw) * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.6);
    c.rgb *= 1.0 + sun * (0.08 * (0.5 + 0.5 * cos(3.14159265 * mod(beats, 2.0))) + 0.18 * hit);
    // Horizon stripes over the sun: a gap every eighteenth of the picture, crawling down with a
    // shove on every beat, the gaps wider towards the plate; the striped part climbs the sun from
    // the plate's edge to its top over the shot. The edges are a tenth of a stripe soft.
    float progress = clamp((t_scene - kCardsIn) / kShot, 0.0, 1.0);
    float top = 0.42 - 0.3 * progress;
    float below = smoothstep(top - 0.04, top + 0.12, uv.y);
    float phase = fract(uv.y * 18.0 - 0.6 * t_scene - 0.25 * (floor(beats) + 1.0 - (1.0 - saw) * (1.0 - saw)));
    float gap = 0.3 * smoothstep(top - 0.04, top + 0.16, uv.y);
    float cut = smoothstep(0.5 - gap - 0.05, 0.5 - gap + 0.05, phase) * (1.0 - smoothstep(0.5 + gap - 0.05, 0.5 + gap + 0.05, phase));
    c.a *= 1.0 - sun * below * cut;
    // The wipe follows the plate's slant.
    float front = (t_scene - kCardsIn) * 3.0 - 0.2;
    float wipe = 1.0 - smoothstep(front - 0.15, front, uv.x + 0.3 * (1.0 - uv.y) - 0.3);
    float pulse = 0.06 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.02 * bounce;
    float gone = 1.0 - smoothstep(0.55, 1.0, fadeout);
    // The dark plate is only a faint veil over the rock, the gold lines framing the name; the
    // sun, its glow and the lines stay see-through enough for the cliff to read behind them.
    float solid = max(sun, smoothstep(0.25, 0.6, plain.r));
    fragColor = vec4(c.rgb * (1.0 + pulse), c.a * mix(0.12, 0.65, solid) * wipe * gone);
}
#endif
