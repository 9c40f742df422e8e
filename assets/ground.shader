// A plain lit surface. Built at start and made current once; no scene draws with it.
uniform mat4 matrix;

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldNormal;

void main()
{
    worldNormal = normal;
    gl_Position = matrix * position;
}
#endif

#ifdef fragmentcompile
in vec3 worldNormal;
out vec4 fragColor;

void main()
{
    float shade = 0.3 + 0.7 * abs(normalize(worldNormal).y);
    fragColor = vec4(vec3(0.55, 0.45, 0.35) * shade, 1.0);
}
#endif
