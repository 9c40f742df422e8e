// Rock wall: the cliff image mapped along the wall, moss on the ledges that face up, a warm point
// light with a soft lamp at the camera, distance fog, and bands that sweep along the wall when
// "cliff_stripes" is on.
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
    mat3 rows = transpose(mat3(r0.xyz, r1.xyz, r3.xyz));
    return inverse(rows) * -vec3(r0.w, r1.w, r3.w);
}

void main()
{
    vec4 p = position;
    // The wall breathes along its normal when distorted.
    p.xyz += normal * distort * 2.5 * sin(0.06 * p.y + 0.05 * p.z + 2.0 * t);
    worldPos = p.xyz;
    worldNormal = normal;
    eyePos = cameraPosition();
    gl_Position = matrix * p;
}
#endif

#ifdef fragmentcompile
uniform sampler2D tex;
uniform sampler2D moss;
uniform vec3 lightpos;
uniform float lightradius;
uniform float falloff;
uniform vec3 fog_color;
uniform float cliffside;
uniform float cliff_stripes;

in vec3 worldPos;
in vec3 worldNormal;
in vec3 eyePos;
out vec4 fragColor;

const float kTextureScale = 1.0 / 14.0;

vec3 rock(vec3 p, vec3 w)
{
    vec3 c = texture(tex, p.zy * kTextureScale).rgb * w.x;
    c += texture(tex, p.xz * kTextureScale).rgb * w.y;
    c += texture(tex, p.xy * kTextureScale).rgb * w.z;
    return c;
}

void main()
{
    vec3 n = normalize(worldNormal);
    vec3 toEye = eyePos - worldPos;
    float eyeDistance = length(toEye);
    toEye /= eyeDistance;
    // Windings and normals are not made consistent: light the side that faces the camera.
    if (dot(n, toEye) < 0.0) n = -n;

    vec3 w = pow(abs(n), vec3(4.0));
    w /= w.x + w.y + w.z;
    vec3 albedo = rock(worldPos, w);

    // Moss gathers on ledges facing up; "cliffside" says which way is up for this copy.
    vec3 mossColor = texture(moss, worldPos.zy * (kTextureScale * 0.7)).rgb;
    float mossAmount = smoothstep(0.08, 0.35, n.y * cliffside + 0.35 * (mossColor.g - 0.35));
    albedo = mix(albedo, mossColor, mossAmount * 0.85);

    // Key light: warm, falling off towards "lightradius".
    vec3 toLight = lightpos - worldPos;
    float lightDistance = length(toLight);
    float reach = pow(clamp(1.0 - lightDistance / lightradius, 0.0, 1.0), falloff);
    float diffuse = max(dot(n, toLight / max(lightDistance, 1e-4)), 0.0);
    vec3 light = vec3(1.35, 1.1, 0.8) * (diffuse * reach + 0.35 * reach);

    // A soft lamp at the camera keeps the rock readable outside the key light.
    float lamp = max(dot(n, toEye), 0.0) * clamp(1.0 - eyeDistance / 90.0, 0.0, 1.0);
    light += vec3(0.55, 0.5, 0.45) * lamp + vec3(0.12, 0.11, 0.1);

    vec3 color = albedo * light;

    // Stripes sweep along the wall, brightest on the beat.
    float band = fract(worldPos.z * 0.025 + worldPos.y * 0.01 - 0.25 * beats);
    float stripe = smoothstep(0.0, 0.03, band) * (1.0 - smoothstep(0.07, 0.12, band));
    vec3 stripeColor = mix(vec3(1.0, 0.5, 0.2), vec3(0.95, 0.8, 1.0), 0.5 + 0.5 * sin(0.7 * t_scene));
    stripeColor = mix(stripeColor, vec3(1.0), (1.0 - saw) * (kick == 0.0 ? 0.8 : 0.4));
    float strength = (0.55 + 0.45 * (1.0 - saw)) * (1.0 + 0.1 * bounce);
    color = mix(color, stripeColor, stripe * cliff_stripes * strength);

    float fog = 1.0 - exp(-eyeDistance * 0.011);
    fragColor = vec4(mix(color, fog_color, fog), 1.0);
}
#endif
