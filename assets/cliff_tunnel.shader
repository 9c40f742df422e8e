// The wall as a tunnel around the asteroid: cliff texture and moss, lit by a lamp at the camera,
// fog with its own scale and falloff; "distort" ripples it with the beat. A first look for the
// asteroid tunnel; its scene will refine it.
uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;
uniform float distort;

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
    vec4 p = position;
    p.xyz += normal * distort * 3.0 * sin(0.08 * p.z + 0.05 * p.y - 3.0 * t);
    worldPos = p.xyz;
    worldNormal = normal;
    eyePos = cameraPosition();
    gl_Position = matrix * p;
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;
uniform sampler2D moss;
uniform vec3 fog_color;
uniform float fog_falloff;
uniform float fog_scale;

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

    vec3 p = worldPos / 14.0;
    vec3 albedo = fetchLinear(tex, p.zy);
    vec3 mossColor = fetchLinear(moss, p.zy * 0.7);
    albedo = mix(albedo, mossColor, smoothstep(0.1, 0.4, abs(n.y) + 0.3 * (mossColor.g - 0.35)));

    float lamp = max(dot(n, toEye / eyeDistance), 0.0);
    float pulse = 0.15 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5);
    vec3 light = vec3(1.1, 0.95, 0.8) * (0.3 + 0.9 * lamp) + pulse;
    float ring = smoothstep(0.92, 1.0, sin(0.15 * worldPos.z - 2.0 * beats + bounce));
    vec3 color = albedo * light + vec3(0.6, 0.3, 0.2) * ring * abs(distort) * (0.5 + 0.5 * sin(t_scene));

    float fog = 1.0 - exp(-pow(eyeDistance * fog_scale / 100.0, fog_falloff));
    fragColor = vec4(mix(color, fog_color, clamp(fog, 0.0, 1.0)), 1.0);
}
#endif
