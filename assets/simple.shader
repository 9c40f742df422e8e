// A textured surface with moss on what faces up and plain two-sided lighting. Built at start and
// released at the end; no scene draws with it.
uniform mat4 matrix;

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec3 worldNormal;

void main()
{
    worldPos = position.xyz;
    worldNormal = normal;
    gl_Position = matrix * position;
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;
uniform sampler2D moss;

in vec3 worldPos;
in vec3 worldNormal;
out vec4 fragColor;

// Bilinear lookup by hand, wrapping like GL_REPEAT. The driver's own filtered lookups crawl where
// a surface is seen edge-on (the images carry the maximum anisotropy but no smaller levels).
vec3 fetchLinear(sampler2D s, vec2 uv)
{
    ivec2 size = textureSize(s, 0);
    if (size.x == 0) return vec3(0.0);
    vec2 texel = uv * vec2(size) - 0.5;
    vec2 f = fract(texel);
    vec2 base = floor(texel);
    ivec2 a = ivec2(mod(base, vec2(size)));
    ivec2 b = ivec2(mod(base + 1.0, vec2(size)));
    vec3 c00 = texelFetch(s, a, 0).rgb;
    vec3 c10 = texelFetch(s, ivec2(b.x, a.y), 0).rgb;
    vec3 c01 = texelFetch(s, ivec2(a.x, b.y), 0).rgb;
    vec3 c11 = texelFetch(s, b, 0).rgb;
    return mix(mix(c00, c10, f.x), mix(c01, c11, f.x), f.y);
}

void main()
{
    vec3 n = normalize(worldNormal);
    vec3 albedo = mix(fetchLinear(tex, worldPos.xz * 0.1), fetchLinear(moss, worldPos.xz * 0.1),
                      smoothstep(0.6, 0.9, n.y));
    fragColor = vec4(albedo * (0.35 + 0.65 * abs(n.y)), 1.0);
}
#endif
