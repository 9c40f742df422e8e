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

void main()
{
    vec3 n = normalize(worldNormal);
    vec3 albedo = mix(texture(tex, worldPos.xz * 0.1).rgb, texture(moss, worldPos.xz * 0.1).rgb,
                      smoothstep(0.6, 0.9, n.y));
    fragColor = vec4(albedo * (0.35 + 0.65 * abs(n.y)), 1.0);
}
#endif
