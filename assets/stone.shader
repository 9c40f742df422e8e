// Stone: the cave's brick walls, with moss grown on the ledges and in the mortar. Two lights: the
// warm lamp of the cave at "lightpos" (its reach "lightradius" and "falloff"), which also glows in
// the foggy air, and the camcorder's own lamp shining along the view. The mesh is +z up; the
// fog is "fog_color".
uniform mat4 matrix;
uniform float t;
uniform float beats;
uniform float kick;
uniform float bounce;
uniform float saw;
uniform float t_scene;

#ifdef vertexcompile
layout(location = 0) in vec4 position;
layout(location = 1) in vec3 normal;

out vec3 worldPos;
out vec3 worldNormal;
flat out vec3 eyePos;
flat out vec3 viewDir;
flat out vec3 lampColor;

// The camera in model space: the point whose clip-space x, y and w all vanish.
vec3 cameraPosition()
{
    vec4 r0 = vec4(matrix[0][0], matrix[1][0], matrix[2][0], matrix[3][0]);
    vec4 r1 = vec4(matrix[0][1], matrix[1][1], matrix[2][1], matrix[3][1]);
    vec4 r3 = vec4(matrix[0][3], matrix[1][3], matrix[2][3], matrix[3][3]);
    return inverse(transpose(mat3(r0.xyz, r1.xyz, r3.xyz))) * -vec3(r0.w, r1.w, r3.w);
}

// The direction along which clip x and y stay 0 and w grows: where the camera looks.
vec3 cameraDirection()
{
    vec3 r0 = vec3(matrix[0][0], matrix[1][0], matrix[2][0]);
    vec3 r1 = vec3(matrix[0][1], matrix[1][1], matrix[2][1]);
    vec3 r3 = vec3(matrix[0][3], matrix[1][3], matrix[2][3]);
    vec3 d = normalize(cross(r0, r1));
    return dot(r3, d) < 0.0 ? -d : d;
}

void main()
{
    worldPos = position.xyz;
    worldNormal = normal;
    eyePos = cameraPosition();
    viewDir = cameraDirection();
    // The cave's lamp: warm, flickering a little like a flame, a touch brighter on the bar's beat.
    float flicker = 0.9 + 0.1 * sin(7.0 * t + 3.0 * sin(1.3 * t_scene)) * sin(3.1 * beats);
    float pulse = 1.0 + 0.25 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.4);
    lampColor = vec3(1.6, 1.0, 0.55) * flicker * pulse;
    gl_Position = matrix * position;
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;
uniform sampler2D moss;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;
uniform vec3 fog_color;

in vec3 worldPos;
in vec3 worldNormal;
flat in vec3 eyePos;
flat in vec3 viewDir;
flat in vec3 lampColor;
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

// One texel, for the moss: its pattern is fine enough that filtering is not missed.
vec3 fetchNearest(sampler2D s, vec2 uv)
{
    ivec2 size = textureSize(s, 0);
    if (size.x == 0) return vec3(0.0);
    return texelFetch(s, ivec2(mod(floor(uv * vec2(size)), vec2(size))), 0).rgb;
}

// Brick laid on the plane the wall faces most; courses run level (along z) on the walls.
vec3 brickAt(vec3 p, vec3 n)
{
    vec3 a = abs(n);
    vec2 uv = a.z > 0.8 ? p.xy : a.x > a.y ? p.yz : p.xz;
    return fetchLinear(tex, uv);
}

// Light scattered by the fog between the eye and the wall from a point lamp: the integral of
// 1 / distance^2 along the ray.
float airGlow(vec3 eye, vec3 dir, float len, vec3 lamp)
{
    vec3 toLamp = lamp - eye;
    float along = dot(toLamp, dir);
    float miss = max(length(toLamp - along * dir), 0.5);
    return (atan((len - along) / miss) + atan(along / miss)) / miss;
}

void main()
{
    vec3 n = normalize(worldNormal);
    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    vec3 v = toEye / eyeDistance;
    if (dot(n, v) < 0.0) n = -n;

    vec3 p = worldPos * 0.12;
    vec3 brick = brickAt(p, n);
    // Mortar and chipped faces are the dark parts of the brick image: they read as hollows.
    float height = dot(brick, vec3(0.3, 0.5, 0.2));
    vec3 dpx = dFdx(worldPos), dpy = dFdy(worldPos);
    vec3 r1 = cross(dpy, n), r2 = cross(n, dpx);
    float det = dot(dpx, r1);
    vec3 slope = sign(det) * (dFdx(height) * r1 + dFdy(height) * r2);
    vec3 bumped = normalize(abs(det) * n - 0.6 * slope);
    if (abs(det) < 1e-8) bumped = n;

    // Moss on the ledges (faces turned up) and creeping into the mortar below them.
    vec3 mossColor = fetchNearest(moss, p.xy * 0.7 + p.z * 0.15);
    float ledge = smoothstep(0.1, 0.6, n.z + 0.5 * mossColor.g - 0.3 * height);
    float mortar = smoothstep(0.35, 0.15, height) * smoothstep(-0.4, 0.2, n.z);
    vec3 albedo = mix(brick, mossColor * vec3(0.8, 1.0, 0.7), max(ledge, 0.6 * mortar));
    float wet = 1.0 - ledge;

    vec3 toLight = lightpos - worldPos;
    float lightDistance = length(toLight);
    vec3 l = toLight / max(lightDistance, 1e-4);
    float reach = pow(clamp(1.0 - lightDistance / lightradius, 0.0, 1.0), falloff);
    float diffuse = max(dot(bumped, l), 0.0);
    float shine = max(dot(reflect(-l, bumped), v), 0.0);
    shine *= shine * shine;  // ^3
    shine *= shine;          // ^6
    shine *= shine;          // ^12
    shine *= shine * wet;    // ^24
    vec3 light = lampColor * reach * (diffuse + 0.5 * shine + 0.08);

    // The camcorder's lamp: a soft spot along the view that fades with distance.
    float spot = smoothstep(0.8, 0.98, dot(-v, viewDir));
    float near = 1.0 / (1.0 + eyeDistance * eyeDistance / 4000.0);
    float facing = max(dot(bumped, v), 0.0);
    float glint = facing * facing * facing * facing * facing;  // ^5
    glint *= glint;                                           // ^10
    glint *= glint;                                           // ^20
    glint *= glint * wet;                                     // ^40
    light += vec3(1.0, 1.05, 1.15) * near * (0.5 + 0.9 * spot) * (facing + 0.6 * glint);
    light += vec3(0.05, 0.05, 0.09) + 0.02 * bounce;

    // Fogged fully by the far plane, so that the shaft's clipped far end melts into the clear.
    vec3 color = albedo * light;
    float fog = max(1.0 - exp(-eyeDistance * 0.008), smoothstep(140.0, 195.0, eyeDistance));
    color = mix(color, fog_color, fog);
    // The lamp's halo in the air, seen on the walls around it: it thins out where the wall lies
    // far behind the lamp, since the far end of the shaft may be clipped away.
    vec3 toLamp = lightpos - eyePos;
    float behind = eyeDistance - dot(toLamp, -v);
    float halo = airGlow(eyePos, -v, eyeDistance, lightpos) * (1.0 - smoothstep(15.0, 70.0, behind));
    color += vec3(1.0, 0.55, 0.25) * min(halo * 0.35, 1.5) * lampColor.g;
    fragColor = vec4(color, 1.0);
}
#endif
