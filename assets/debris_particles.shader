// Debris: the dust sprite as quads round the temple, placed by "id" and moved by "t"; "fade"
// sinks them. The finale makes this program ready every frame (the sprite on unit 4, point size
// 32) and draws nothing with it.
uniform mat4 matrix;
uniform float t;
uniform int id;
uniform float fade;

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;

// 0 to 1 from a particle and a salt: integer mixing, the same on every driver (a hash built on
// the sine of a large argument is not).
float hash(int n, uint salt)
{
    uint h = uint(n) * 747796405u + salt * 2891336453u;
    h = ((h >> ((h >> 28u) + 4u)) ^ h) * 277803737u;
    h = (h >> 22u) ^ h;
    return float(h >> 8u) * (1.0 / 16777216.0);
}

void main()
{
    float a = hash(id, 1u) * 6.2832 + 0.02 * t;
    float r = 10.0 + 40.0 * hash(id, 2u);
    float h = mod(60.0 * hash(id, 3u) - 0.5 * t + fade, 80.0) - 30.0;
    vec4 clip = matrix * vec4(r * cos(a), h, r * sin(a), 1.0);
    vec2 axisScale = vec2(length(vec3(matrix[0][0], matrix[1][0], matrix[2][0])),
                          length(vec3(matrix[0][1], matrix[1][1], matrix[2][1])));
    clip.xy += (corner - 0.5) * 0.8 * axisScale;
    gl_Position = clip;
    uv = corner;
}
#endif

#ifdef fragmentcompile
// The sprite image; the name shadows the built-in texture(), so it is read with textureLod.
// GLSL ES forbids that shadowing: there the sampler is "spriteTexture" (the web GL table maps it).
#ifdef GL_ES
#define texture spriteTexture
#endif
uniform sampler2D texture;

in vec2 uv;
out vec4 fragColor;

void main()
{
    vec4 sprite = textureLod(texture, vec2(uv.x, 1.0 - uv.y), 0.0);
    fragColor = vec4(sprite.rgb * vec3(0.7, 0.8, 1.0), sprite.a * 0.6);
}
#endif
