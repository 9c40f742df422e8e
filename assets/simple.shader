// The canyon's walls behind the big logo (bars 22 to 24): the gorge turns graphic, a hot sky
// burning out from the sun behind the logo (the middle of the screen), twelve broad rays turning
// slowly through it, and the walls a crisp dark silhouette against it up to a ragged rim a few
// units above the camera, the sky between and beyond them, so the turning view shows the gorge's
// slot against the burning sky; the rims glow, hottest on the beat. No image lookups: the
// silhouette has no detail to show. It takes the rock wall's surface and uniforms and draws in
// that program's place: there every pixel would pay for the rock's other looks, unseen. (This is
// the demo's spare program, built at start and released at the end; only this pass draws with it.)
uniform mat4 matrix;
uniform float kick;
uniform float saw;
uniform float t_scene;
uniform float cliffside;

#ifdef vertexcompile
layout(location = 0) in vec4 position;

out vec3 clip;          // the clip position: x, y and w
out vec3 skyColor;      // out from the sun (varies slowly)
out float rayStrength;  // varies slowly too
out float belowRim;     // how far below the walls' ragged rim the point lies
out float rockLeft;     // how much of the rock is left far off
flat out vec3 rays;     // the rays' turn (x, y) and the rims' glow (z)

void main()
{
    vec4 p = position;
    // The wall's last rows each way (the surface spans 100 units from its centre) are drawn out
    // far beyond, as the canyon draws them, so the walls fill the view to its edges; out there
    // the two copies lean across the gorge past each other. Clip depth is held inside the far
    // plane for them.
    vec2 beyond = max(abs(p.yz) - 70.0, 0.0);
    float far = max(beyond.x, beyond.y);
    p.x = mix(p.x, -5.0, smoothstep(0.0, 8.0, far));
    p.yz += sign(p.yz) * beyond * beyond * 2.2;
    p.x += 8.0 * smoothstep(0.0, 20.0, far);
    gl_Position = matrix * p;
    if (gl_Position.w > 0.0) gl_Position.z = min(gl_Position.z, 0.99999 * gl_Position.w);

    clip = gl_Position.xyw;
    vec2 s = clamp(gl_Position.xy / max(gl_Position.w, 1e-4), -3.0, 3.0);
    s.x *= 16.0 / 9.0;
    float r = length(s);
    // A sharp hit on every beat, hardest on the bar's first, gone within a quarter of a beat.
    float quarter = max(1.0 - 4.0 * saw, 0.0);
    float hit = quarter * quarter * (kick == 0.0 ? 1.0 : 0.5);
    skyColor = mix(vec3(1.0, 0.62, 0.22), vec3(0.62, 0.13, 0.07), smoothstep(0.15, 1.5, r))
             + vec3(1.0, 0.85, 0.55) * exp(-r * r * 4.0) * (1.0 + 1.2 * hit);
    // On the beat the rays flare out from the sun, most near it. At its centre, behind the sun's
    // disc, the rays would crowd into a shimmer: they start a little way out.
    rayStrength = 0.38 * (1.0 + 3.5 * hit * exp(-1.0 * r)) * smoothstep(0.15, 0.45, r);
    // The rim evens out far off: its crags would crowd into a fringe finer than the pixels;
    // further off still, where the view grazes the walls and their bumps would fray it, the rock
    // melts into the glare. The camera stands at the origin through the tumble.
    float distance = length(p.xyz);
    float crags = 1.0 - smoothstep(25.0, 70.0, distance);
    float crag = 3.0 * sin(0.23 * p.z) + 1.5 * sin(0.61 * p.z + 2.0);
    float rim = 5.0 + crag * (0.4 + 0.6 * crags);
    belowRim = rim - p.y * cliffside;
    rockLeft = 1.0 - smoothstep(40.0, 60.0, distance);
    float turn = 6.2831853 * fract(0.03 * t_scene);
    // Turned back, so that the rays (see the fragment stage) turn forward.
    rays = vec3(cos(turn), -sin(turn), 0.5 + 2.0 * hit);
}
#endif

#ifdef fragmentcompile
in vec3 clip;
in vec3 skyColor;
in float rayStrength;
in float belowRim;
in float rockLeft;
flat in vec3 rays;
out vec4 fragColor;

void main()
{
    // Twelve rays: the twelfth power of the position from the sun's centre (as a complex
    // number), turned, over the twelfth power of its length, is the cosine of twelve times its
    // angle, with no angle, root or division per ray.
    vec2 p = clip.xy / max(clip.z, 1e-4) * vec2(16.0 / 9.0, 1.0);
    vec2 p2 = vec2(p.x * p.x - p.y * p.y, 2.0 * p.x * p.y);
    vec2 p4 = vec2(p2.x * p2.x - p2.y * p2.y, 2.0 * p2.x * p2.y);
    vec2 p8 = vec2(p4.x * p4.x - p4.y * p4.y, 2.0 * p4.x * p4.y);
    vec2 p12 = vec2(p8.x * p4.x - p8.y * p4.y, p8.x * p4.y + p8.y * p4.x);
    float r4 = dot(p2, p2);
    float ray = dot(p12, rays.xy) / max(r4 * r4 * r4, 1e-20);
    vec3 sky = skyColor * (0.72 + rayStrength * clamp(2.5 * ray + 0.5, 0.0, 1.0));
    float aa = fwidth(belowRim) + 1e-4;
    float rock = clamp(0.5 + 0.5 * belowRim / aa, 0.0, 1.0) * rockLeft;
    // The rim's glow, a few pixels deep whatever the distance.
    float glow = aa / (aa + 0.4 * max(belowRim, 0.0));
    vec3 dark = vec3(0.07, 0.035, 0.03) + vec3(1.0, 0.45, 0.14) * (glow * glow * rays.z);
    fragColor = vec4(mix(sky, dark, rock), 1.0);
}
#endif
