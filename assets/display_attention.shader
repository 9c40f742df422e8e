// A warning band across the whole screen, its picture repeating sideways and scrolling one way
// ("scroll_direction" +1) or the other (-1): the title-card bands of the fly-by. "ipos" gives its
// lower edge and height as fractions of the screen (y, w; x and z shift and scale the repeat).
// It unfolds from its middle line when the cards come in and kicks forward on every beat.
uniform vec4 ipos;
uniform float scroll_direction;
uniform float fadeout;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

const float kCardsIn = 5.393259;  // bar 44, in scene seconds

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;

void main()
{
    float unfold = smoothstep(kCardsIn, kCardsIn + 0.35, t_scene);
    float y = ipos.y + ipos.w * (0.5 + (corner.y - 0.5) * unfold);
    gl_Position = vec4(2.0 * corner.x - 1.0, 2.0 * y - 1.0, -1.0, 1.0);
    uv = vec2(corner.x, 1.0 - corner.y);  // image row 0 is its top
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

void main()
{
    // As many repeats across the screen as keep the picture's proportions at this band's height:
    // the derivatives give the band's width and height in pixels.
    vec2 size = vec2(textureSize(tex, 0));
    float pixelsWide = 1.0 / max(abs(dFdx(uv.x)), 1e-6);
    float pixelsHigh = 1.0 / max(abs(dFdy(uv.y)), 1e-6);
    float repeats = pixelsWide / pixelsHigh * size.y / size.x * max(ipos.z, 1e-3);

    // A steady crawl with a shove on every beat that eases off.
    float hit = 1.0 - (1.0 - saw) * (1.0 - saw);
    float travel = 0.35 * t_scene + 0.06 * (floor(beats) + hit);
    vec2 at = vec2(uv.x * repeats + ipos.x - scroll_direction * travel, uv.y);
    vec4 c = texture(tex, at);

    // A glint sweeps along the band every bar, against the scroll.
    float sweep = fract(0.25 * beats) * 1.4 - 0.2;
    float across = scroll_direction > 0.0 ? 1.0 - sweep : sweep;
    float glint = exp(-pow((uv.x - across + 0.04 * uv.y) * 16.0, 2.0));
    float pulse = 0.12 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + 0.03 * bounce;
    float flicker = 0.97 + 0.03 * sin(40.0 * t + 3.0 * uv.x);
    vec3 color = c.rgb * (flicker + pulse) + vec3(0.35, 0.28, 0.15) * glint * c.a;
    fragColor = vec4(color, c.a * (1.0 - 0.3 * fadeout));
}
#endif
