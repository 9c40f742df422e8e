// A full-screen copy of a picture with a soft vignette. Built at start; no scene draws with it.
#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;

void main()
{
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
    uv = corner;
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;

in vec2 uv;
out vec4 fragColor;

void main()
{
    float vignette = 1.0 - 0.5 * dot(uv - 0.5, uv - 0.5);
    fragColor = vec4(texture(tex, uv).rgb * vignette, 1.0);
}
#endif
