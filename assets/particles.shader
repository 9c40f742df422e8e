// Dust motes: soft sprites drifting slowly through the light, one quad per draw, placed by "id"
// and moved by "t". Drawn without depth, blended. They catch the light on every beat (brightest
// on the bar's first), swelling a little and dimming back over the beat: never a flash.
uniform mat4 matrix;
uniform float t;
uniform int id;
uniform float fade;

#ifdef vertexcompile
layout(location = 0) in vec2 corner;

out vec2 uv;
out float glow;
out float flare;

// An integer hash of the mote and a salt, 0 to 1: the same on every GPU, where a hash of sin()
// scatters the motes differently from one driver's sine to the next.
float hash(uint salt)
{
    uint h = uint(id) * 0x9E3779B9u ^ salt * 0x85EBCA6Bu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return float(h >> 8) * (1.0 / 16777216.0);
}

void main()
{
    // A box in front of the camera, 3 to 30 units deep; each mote wanders on its own slow loop.
    float depth = mix(3.0, 30.0, hash(1u));
    vec3 p = vec3((hash(2u) * 2.0 - 1.0) * 0.8 * depth,
                  (hash(3u) * 2.0 - 1.0) * 0.45 * depth,
                  depth);
    float phase = hash(4u) * 6.2832;
    float speed = 0.05 + 0.08 * hash(5u);
    p.x += 1.6 * sin(speed * t + phase) + 0.02 * depth * sin(0.11 * t + phase);
    p.y += 1.2 * sin(0.7 * speed * t + 2.0 * phase) - fade;
    vec4 clip = matrix * vec4(p, 1.0);

    // Billboard: offset in view units, scaled by the projection's own x and y factors.
    vec2 axisScale = vec2(length(vec3(matrix[0][0], matrix[1][0], matrix[2][0])),
                          length(vec3(matrix[0][1], matrix[1][1], matrix[2][1])));
    // "t" runs at 3.3 times the music's seconds; 178 beats a minute.
    float beats = t / 3.3 * (178.0 / 60.0);
    float beat = 1.0 - fract(beats);
    beat *= beat * (mod(floor(beats), 4.0) == 0.0 ? 1.0 : 0.6);
    // On the bar's first beat the beam of light that rakes across the wall from the left (see the
    // intro's wall in cliff.shader) catches the motes it passes: they flare as it crosses them.
    float inBar = mod(beats + 0.002, 4.0);
    float lit = max(1.0 - 3.0 * abs(clip.x / clip.w + 0.62 - 1.5 * inBar), 0.0);
    flare = lit * lit * max(1.0 - inBar / 1.6, 0.0);
    float size = (0.35 + 0.9 * hash(6u) * hash(6u)) * (1.0 + 0.2 * beat + 0.35 * flare);
    clip.xy += (corner - 0.5) * size * axisScale;
    gl_Position = clip;

    uv = corner;
    // Motes twinkle as they turn through the light.
    glow = (0.35 + 0.65 * hash(7u)) * (0.7 + 0.3 * sin(0.9 * t + phase * 3.0));
    glow *= 0.75 + 0.75 * beat;
    // Far motes fade into the haze.
    glow *= 1.0 - 0.6 * smoothstep(10.0, 30.0, depth);
    // They catch more light as the dawn builds over the intro (about 7.5 s in).
    glow *= 0.35 + 0.65 * smoothstep(0.0, 25.0, t);
}
#endif

#ifdef fragmentcompile
// The sprite image; the name shadows the built-in texture(), so it is read with textureLod.
// GLSL ES forbids that shadowing: there the sampler is "spriteTexture" (the web GL table maps it).
#ifdef GL_ES
#define texture spriteTexture
#endif
uniform sampler2D texture;

in vec2 uv;
in float glow;
in float flare;
out vec4 fragColor;

void main()
{
    vec4 sprite = textureLod(texture, vec2(uv.x, 1.0 - uv.y), 0.0);
    float soft = 1.0 - smoothstep(0.2, 0.5, length(uv - 0.5));
    vec3 color = sprite.rgb * vec3(1.0, 0.86, 0.62) * (1.5 + 1.0 * flare);
    fragColor = vec4(color, sprite.a * soft * min(glow + flare, 1.0));
}
#endif
