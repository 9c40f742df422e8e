// Plain look for checking meshes: grey stone, the scene's point light, a head light and distance
// fog. Faces are lit from whichever side the camera sees, since generated windings vary.
#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;
uniform mat4 matrix;
out vec3 worldPosition;
out vec3 worldNormal;
void main() {
    gl_Position = matrix * position;
    worldPosition = position.xyz;
    worldNormal = normal;
}
#endif

#ifdef fragmentcompile
in vec3 worldPosition;
in vec3 worldNormal;
uniform vec3 eye;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;
uniform vec3 fog_color;
uniform float fog_distance;
out vec4 colour;
void main() {
    vec3 n = normalize(worldNormal);
    vec3 toEye = normalize(eye - worldPosition);
    if (dot(n, toEye) < 0.0) n = -n;
    vec3 toLight = lightpos - worldPosition;
    float d = length(toLight);
    float reach = pow(max(1.0 - d / lightradius, 0.0), falloff);
    float diffuse = max(dot(n, toLight / max(d, 1e-4)), 0.0) * reach;
    float head = 0.35 * max(dot(n, toEye), 0.0);
    // A little tint by facing so floors, walls and ceilings read apart.
    vec3 stone = vec3(0.62, 0.58, 0.52) + 0.08 * vec3(n.y, 0.5 * n.x, -n.y);
    vec3 lit = stone * (0.12 + head + 1.3 * diffuse) + vec3(1.0, 0.85, 0.6) * 0.25 * diffuse;
    float fog = 1.0 - exp(-length(eye - worldPosition) / fog_distance);
    colour = vec4(mix(lit, fog_color, fog), 1.0);
}
#endif
