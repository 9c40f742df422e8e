// Rockets built from the thin rod (radius 0.1 along y, -3 to 3): each draw bends it into one
// "piece" of the rocket in slot "id" (6 down to -43): 0 the body, 1 the nose, 2 to 4 the fins,
// 5 the exhaust flame. The slots stand in five staggered rows of ten on the canyon floor around
// the origin. Every half beat ("beat") moves the pattern one slot on: a rocket appears on its pad
// in a flash, and three half beats later it lifts off and climbs out of sight, so waves of
// launches roll along the rows with the music.
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

out vec3 localPos;
out vec3 localNormal;
out float flame;
out float paint;
out float depth;
flat out float fade;
flat out float glow;

// The rocket's own measures, in rod-free units; kScale sizes the whole rocket.
const float kScale = 1.5;
const float kRadius = 0.55;
const float kBodyBottom = 1.0;
const float kBodyTop = 5.0;
const float kNoseTop = 6.7;

// The canyon floor's height under (x, z): where the field of the ground is zero.
float groundHeight(vec2 q)
{
    float g = sin(0.14 * q.x) + sin(0.11 * q.y);
    float waves = sin(0.3 * q.x) + sin(0.2 * q.y);
    float meander = sin(0.0564 * q.x) + abs(sin(0.0765 * q.y));
    float swell = sin(0.0233 * q.x) + sin(0.0123 * q.y);
    float w = (swell + 2.1) * (meander + 1.5) * (g + 1.5);
    return length(q) * w / 100.0 - waves - g - 5.0;
}

// Where slot s stands: rows along x, the odd rows shifted half a place.
vec2 padPosition(float s)
{
    float column = mod(s, 10.0);
    float row = floor(s / 10.0);
    float stagger = mod(row, 2.0) == 0.0 ? -1.75 : 1.75;
    return vec2((column - 4.5) * 9.0 + stagger * 1.3, (row - 2.0) * 10.0 + 5.0);
}

void main()
{
    vec3 p = position.xyz;
    float v = clamp((p.y + 3.0) / 6.0, 0.0, 1.0);  // 0 at the rod's foot, 1 at its head
    vec2 d = length(p.xz) > 0.0 ? normalize(p.xz) : vec2(1.0, 0.0);
    float s = 6.0 - id;

    // The slot's place in the launch cycle (the pattern's phase, 0 to 5; 1 and 5 are never
    // drawn) and how far into the current half beat we are.
    float phase = mod(beat + s, 6.0);
    float half_ = fract(2.0 * beats);
    float climb = phase >= 2.0 ? phase - 2.0 + half_ : 0.0;  // 0 to 3 half beats of flight
    float lift = 45.0 * climb * climb / 9.0;
    float onPad = phase == 0.0 ? 1.0 : 0.0;
    fade = 1.0 - smoothstep(2.4, 3.0, climb);
    glow = onPad * (1.0 - half_);
    float burn = onPad > 0.0 ? 0.6 + 0.9 * (1.0 - half_) : 0.5 + 0.35 * climb;

    vec3 q;
    vec3 n;
    flame = 0.0;
    paint = 0.0;
    if (piece == 0.0) {
        // The body: a plain tube; "paint" tells the shader how high up it is.
        q = vec3(d.x * kRadius, mix(kBodyBottom, kBodyTop, v), d.y * kRadius);
        n = vec3(d.x, 0.0, d.y);
        paint = v;
    } else if (piece == 1.0) {
        // The nose: half an ellipsoid on the body.
        float c = sqrt(max(1.0 - v * v, 0.0));
        q = vec3(d.x * kRadius * c, mix(kBodyTop, kNoseTop, v), d.y * kRadius * c);
        n = vec3(d.x * c / kRadius, v / (kNoseTop - kBodyTop), d.y * c / kRadius);
        paint = 2.0;
    } else if (piece < 5.0) {
        // A fin: the rod flattened into a swept plate standing out from the body, three a
        // third of a turn apart.
        vec2 radial = piece == 2.0 ? vec2(1.0, 0.0)
                    : piece == 3.0 ? vec2(-0.5, 0.8660254) : vec2(-0.5, -0.8660254);
        vec2 across = vec2(-radial.y, radial.x);
        float span = mix(1.0, 0.2, v);
        float out_ = kRadius * 0.9 + (d.x * 0.5 + 0.5) * span;
        vec2 xz = radial * out_ + across * d.y * 0.06;
        q = vec3(xz.x, mix(0.2, 2.2, v) - 0.25 * (d.x * 0.5 + 0.5), xz.y);
        n = normalize(vec3(across.x * d.y + radial.x * 0.2 * d.x, 0.1,
                           across.y * d.y + radial.y * 0.2 * d.x));
        paint = 3.0;
    } else {
        // The exhaust: a flame hanging from the nozzle, longer the harder the rocket burns.
        float length_ = (1.2 + 2.5 * burn) * (0.9 + 0.2 * fract(23.0 * t + 0.37 * s));
        float r = 0.42 * sqrt(v) * (1.0 + 0.15 * bounce);
        q = vec3(d.x * r, kBodyBottom - length_ * (1.0 - v), d.y * r);
        n = vec3(d.x, 0.4, d.y);
        flame = 0.6 + 0.4 * v;
    }
    // A rocket on its pad shakes as it lights.
    q.xz += onPad * 0.1 * (fract(vec2(9.7, 8.3) * t + 0.61 * s) - 0.5);

    vec2 pad = padPosition(s);
    vec3 world = vec3(pad.x, groundHeight(pad) + lift, pad.y) + kScale * q;
    localPos = q;
    localNormal = n;
    vec4 clip = matrix * vec4(world, 1.0);
    depth = clip.w;
    gl_Position = clip;
}
#endif

#ifdef fragmentcompile
uniform vec3 fog_color;

in vec3 localPos;
in vec3 localNormal;
in float flame;
in float paint;
in float depth;
flat in float fade;
flat in float glow;
out vec4 fragColor;

void main()
{
    float fog = 1.0 - exp(-max(depth, 0.0) * 0.012);
    if (flame > 0.0) {
        // Hot white at the nozzle, orange and thin at the tip.
        vec3 hot = mix(vec3(1.0, 0.35, 0.05), vec3(1.0, 0.95, 0.7), flame * flame);
        vec3 c = mix(hot * (1.2 + 0.8 * glow), fog_color, fog * 0.5);
        fragColor = vec4(c, (0.45 + 0.5 * flame) * fade);
        return;
    }
    // Paint: white body with a red band and black roll marks, red nose and fins; a different
    // trim on every third slot.
    float s = 6.0 - id;
    vec3 trim = mod(s, 3.0) == 0.0 ? vec3(0.1, 0.1, 0.12)
              : mod(s, 3.0) == 1.0 ? vec3(0.75, 0.12, 0.08)
                                   : vec3(0.9, 0.5, 0.1);
    vec3 albedo = vec3(0.85, 0.84, 0.8);
    if (paint >= 1.5) {
        albedo = trim;
    } else {
        float around = atan(localPos.z, localPos.x);
        float quarter = step(0.0, sin(2.0 * around));
        float band = step(0.72, paint) * step(paint, 0.8);
        float marks = step(0.15, paint) * step(paint, 0.35) * quarter;
        albedo = mix(albedo, trim, max(band, marks));
    }

    // A high light from the sky's side, the floor's warm bounce from below, and a rim.
    vec3 n = normalize(localNormal);
    vec3 key = normalize(vec3(-0.5, 0.8, 0.4));
    float diffuse = max(dot(n, key), 0.0);
    float below = max(-n.y, 0.0) * 0.3 + 0.25;
    float rim = pow(1.0 - abs(n.y), 2.0) * 0.2;
    float pulse = 0.12 * (1.0 - saw) * (kick == 0.0 ? 1.0 : 0.5) + max(1.0 - t_scene, 0.0);
    vec3 light = vec3(1.25, 1.15, 1.05) * diffuse + fog_color * 2.5 * below + 0.2 + rim + pulse;
    // The pad's flash lights the rocket from its foot.
    light += vec3(1.0, 0.6, 0.25) * glow * 1.5 * exp(-max(localPos.y, 0.0) * 0.5);
    vec3 c = mix(albedo * light, fog_color, fog);
    fragColor = vec4(c, fade);
}
#endif
