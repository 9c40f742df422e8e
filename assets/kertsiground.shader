// The canyon ground: sand on the flats, cliff rock on the slopes, moss between, a point light far
// below and a coloured fog from the sky. A first look for the rockets scene; its scene will
// refine it.
uniform mat4 matrix;

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec3 worldNormal;
out vec3 eyePos;

// The camera in model space: the point whose clip-space x, y and w all vanish.
vec3 cameraPosition()
{
    vec4 r0 = vec4(matrix[0][0], matrix[1][0], matrix[2][0], matrix[3][0]);
    vec4 r1 = vec4(matrix[0][1], matrix[1][1], matrix[2][1], matrix[3][1]);
    vec4 r3 = vec4(matrix[0][3], matrix[1][3], matrix[2][3], matrix[3][3]);
    return inverse(transpose(mat3(r0.xyz, r1.xyz, r3.xyz))) * -vec3(r0.w, r1.w, r3.w);
}

void main()
{
    worldPos = position.xyz;
    worldNormal = normal;
    eyePos = cameraPosition();
    gl_Position = matrix * position;
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;
uniform sampler2D moss;
uniform sampler2D sand;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;
uniform vec3 fog_color;
uniform float cliff_stripes;
uniform float t_scene;

in vec3 worldPos;
in vec3 worldNormal;
in vec3 eyePos;
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
    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    if (dot(n, toEye) < 0.0) n = -n;

    vec3 p = worldPos / 12.0;
    vec3 rock = fetchLinear(tex, p.xz + p.y * 0.5);
    vec3 sandColor = fetchLinear(sand, p.xz * 0.8);
    vec3 mossColor = fetchLinear(moss, p.xz * 0.6);
    float flat_ = abs(n.y);
    vec3 albedo = mix(rock, mossColor, smoothstep(0.5, 0.7, flat_));
    albedo = mix(albedo, sandColor, smoothstep(0.75, 0.9, flat_));

    vec3 toLight = lightpos - worldPos;
    float lightDistance = length(toLight);
    float reach = pow(clamp(1.0 - lightDistance / lightradius, 0.0, 1.0), falloff);
    float diffuse = max(dot(n, toLight / max(lightDistance, 1e-4)), 0.0);
    vec3 light = vec3(1.3, 1.0, 0.8) * (diffuse * reach + 0.3) + 0.25 * max(n.y, 0.0);

    float band = fract(worldPos.x * 0.02 - 0.5 * t_scene);
    vec3 color = albedo * light + vec3(1.0, 0.6, 0.3) * cliff_stripes * smoothstep(0.95, 1.0, band);

    float fog = 1.0 - exp(-eyeDistance * 0.01);
    fragColor = vec4(mix(color, fog_color, fog), 1.0);
}
#endif
