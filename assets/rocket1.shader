// Rockets from the thin rod: slot "id" stands in a row over the ground, "piece" 0 is the body and
// 1 to 5 the fins and the exhaust; they lift off in turn with the half beats ("beat"). A first
// look for the rockets scene; its scene will refine it.
uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;
uniform float beat;
uniform float id;
uniform float piece;

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldNormal;
out float heat;
out float depth;

void main()
{
    vec3 p = position.xyz;  // a rod along y from -3 to 3, radius 0.1
    heat = 0.0;
    if (piece == 0.0) {
        p.xz *= 6.0;                                    // the body
    } else if (piece < 5.0) {
        float a = (piece - 1.0) * 1.5708 + 0.785;       // four fins, splayed
        vec3 q = vec3(p.x * 2.0, p.y * 0.35 - 2.0, p.z * 8.0);
        q.x += 0.7 + (p.y + 3.0) * 0.1;
        p = vec3(q.x * cos(a) - q.z * sin(a), q.y, q.x * sin(a) + q.z * cos(a));
    } else {
        p.xz *= 4.0 * (1.0 + 0.3 * bounce);             // the exhaust, flickering
        p.y = p.y * (0.5 + 0.5 * (1.0 - saw)) - 5.0;
        heat = 1.0;
    }
    // Slot placement: a row along x, each rocket rising on its own phase of the half beats.
    float rise = mod(beat + id * 5.0 + 0.1 * sin(t + beats), 24.0) * 1.6 + 0.3 * t_scene * (kick == 0.0 ? 1.0 : 0.9);
    p += vec3(id * 4.0 + 12.0, -16.0 + rise, -8.0 + mod(id * 7.0, 5.0) * 4.0);
    vec4 clip = matrix * vec4(p, 1.0);
    worldNormal = normal;
    depth = clip.w / 2.01;
    gl_Position = clip;
}
#endif

#ifdef fragmentcompile
uniform vec3 fog_color;

in vec3 worldNormal;
in float heat;
in float depth;
out vec4 fragColor;

void main()
{
    float shade = 0.55 + 0.45 * abs(normalize(worldNormal).x);
    vec3 color = mix(vec3(0.85, 0.82, 0.78) * shade, vec3(1.0, 0.7, 0.3) * 1.5, heat);
    float fog = 1.0 - exp(-depth * 0.012);
    fragColor = vec4(mix(color, fog_color, fog), mix(1.0, 0.7, heat));
}
#endif
