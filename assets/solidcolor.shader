// One colour over the whole screen: fades and flashes. Drawn at the near plane so that it covers
// everything whether the depth test is on or off.
uniform vec2 screen;
uniform vec4 icolor;

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

void main()
{
    gl_Position = vec4(corner * 2.0 - 1.0, -1.0, 1.0);
}
#endif

#ifdef fragmentcompile
out vec4 fragColor;

void main()
{
    // A faint ordered dither keeps slow fades free of bands.
    vec2 cell = mod(floor(gl_FragCoord.xy), 2.0);
    float dither = (cell.x * 2.0 + cell.y - 1.5) / (255.0 * 4.0) * step(1.0, screen.x);
    fragColor = vec4(icolor.rgb + dither, icolor.a);
}
#endif
