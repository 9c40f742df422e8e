#include "SceneCameras.h"

#include <cmath>
#include <cstring>

#include "math/Scalar.h"

namespace {

const std::int32_t kStartBars[12] = {0, 8, 22, 24, 40, 56, 60, 72, 88, 104, 120, 136};

float fsin(double x) {
    return static_cast<float>(std::sin(x));
}
float fcos(double x) {
    return static_cast<float>(std::cos(x));
}

CameraShot look(float ex, float ey, float ez, float cx, float cy, float cz, float ux, float uy,
                float uz, const char* shot) {
    CameraShot s;
    lookAt(s.view, ex, ey, ez, cx, cy, cz, ux, uy, uz);
    s.shot = shot;
    return s;
}

// Wall drifting past, turned a quarter about y.
CameraShot intro(const SceneClock& c) {
    const float s = c.seconds;
    CameraShot shot = look(0.08f * sinSingle(0.3f * s), 5.0f, 5.0f + 0.4f * sinSingle(0.2f * s),
                           0.0f, 0.2f * sinSingle(0.7f * s), -5.0f, 0.0f, 1.0f, 0.0f, "wall");
    rotate(shot.view, 1.5707964f, 0.0f, -1.0f, 0.0f);
    return shot;
}

// Flight down the canyon until bar 16, then the canyon tumbles about the origin. This is the view
// of the unturned wall; the other wall is the same mesh turned half a turn about z.
CameraShot canyon(const SceneClock& c) {
    const float t = c.sceneSeconds(8);
    if (c.bars < 16.0f) {
        const float z = 100.0f - 16.0f * t;
        CameraShot shot = look(0, 0, z, 0, 0, z - 1.0f, 0, 1, 0, "flight");
        rotate(shot.view, 0.4f * t, 0.0f, 0.0f, 1.0f);
        return shot;
    }
    CameraShot shot = look(0, 0, 0, 0, 0, -1, 0, 1, 0, "tumble");
    rotate(shot.view, 1.5f * t + 0.5f, 0.2f, 0.3f, -0.0f);
    return shot;
}

CameraShot asteroidView(const SceneClock& c) {
    const float ts = c.sceneSeconds(24);
    const bool late = c.bars > 32.0f;
    const int phrase = static_cast<int>(c.bars) % 4;
    if (phrase < 3) {
        const float v = 21.0f + 4.0f * fsin(2.0f * ts);
        return look(v * fcos(ts), v * fsin(ts), v * fcos(ts), 0, 0, 0, 0, 1, 0, "orbit");
    }
    if (late) {
        const float tz = 12.0f - fmodSingle(3.0f * ts, 10.0f);
        return look(10.0f * fcos(1.02f * ts), 10.0f * fsin(0.7f * ts), 5.0f * fcos(ts), 0, 0, tz, 0,
                    1, 0, "inside");
    }
    return look(10.0f * fcos(0.9f * ts), 8.0f * fsin(0.8f * ts), -50.0f, 0, 0, 0, 0, 1, 0, "far");
}

CameraShot asteroidTunnel(const SceneClock& c) {
    CameraShot shot = asteroidView(c);
    rotate(shot.view, 3.1415927f, 0.0f, 0.0f, 1.0f);
    return shot;
}

CameraShot asteroidRock(const SceneClock& c) {
    CameraShot shot = asteroidView(c);
    rotate(shot.view, c.sceneSeconds(24), 0.2f, 0.3f, 0.0f);
    return shot;
}

CameraShot flyby(const SceneClock& c) {
    const float ts = c.sceneSeconds(40);
    const float z0 = 100.0f - 16.0f * ts;
    if (c.bars > 48.0f) {
        const double d = static_cast<double>(c.bars) - 48.0;
        CameraShot shot = look(-10.0f, static_cast<float>(87.0 - std::pow(8.2 * d, 1.1)),
                               static_cast<float>(10.0 - d), 0, 10, 0, 0, 1, 0, "high");
        scale(shot.view, 1.0f, 2.9f, 2.9f);
        return shot;
    }
    CameraShot shot = look(-10.0f, 0.0f, z0, 0.0f, 0.0f, z0 - 5.0f, 0, 1, 0, "fly-by");
    if (c.bars > 44.0f && c.bars < 48.0f) {
        rotate(shot.view, 0.4f, 0.0f, 0.0f, 1.0f);
        shot.shot = "rolled";
    }
    return shot;
}

// Sinking past the cave's axis; the world turned a quarter about x.
CameraShot cave(const SceneClock& c) {
    const float t = c.sceneSeconds(56);
    const float ca = static_cast<float>(std::cos(1.6179201602935791));
    const float sa = static_cast<float>(std::sin(1.6179201602935791));
    const float x = static_cast<float>(0.8 * std::sin(0.2 * t - 0.5) + 9.5 * ca);
    const float y = 120.0f - 10.0f * t;
    const float z = static_cast<float>(0.7f * std::sin(0.5f * t - 0.2f) + 9.5 * sa);
    const bool zoom = c.bars > 71.75f;
    const float k = zoom ? 0.1f : 0.0f;
    CameraShot shot =
        look(x, y, z, 2.0f * k + 0.1f, 0.0f, 0.0f, 0.0f, 1.0f, k, zoom ? "zoom" : "descent");
    shot.halfWidth = zoom ? 0.3f : 0.5f;
    rotate(shot.view, 1.5707964f, 1.0f, 0.0f, 0.0f);
    return shot;
}

CameraShot caveBoulder(const SceneClock& c) {
    const float t = c.sceneSeconds(56);
    CameraShot shot = cave(c);
    scale(shot.view, 0.5f, 0.5f, 0.5f);
    translate(shot.view, 12.0f, 35.0f - 3.5f * t, 11.0f);
    rotate(shot.view, 1.5707964f, 0.0f, 0.0f, 1.0f);
    return shot;
}

CameraShot rockets(const SceneClock& c) {
    const float t = c.sceneSeconds(72);
    const float s = c.seconds;
    const float upZ = c.bars < 96.0f ? 0.05f * fsin(2.0f * sinSingle(15.0f * t)) : 0.0f;
    const float bob = 0.1f * c.beatSine;
    CameraShot shot;
    if (c.bars > 88.0f && c.bars < 96.0f) {
        if (c.bars > 92.0f)
            shot = look(60.0f, 2.0f * fsin(3.0f * t) - 10.0f, fmodSingle(t, 50.0f) - 20.0f, 10, -2,
                        0, 0, 1, 0.1f, "track 2");
        else
            shot = look(fmodSingle(4.0f * t, 50.0f), -15, 50, 0, -10, 0, 0.1f, 1, 0, "track 1");
    } else {
        switch (static_cast<int>(c.bars) % 3) {
            case 0:
                shot = look(sinSingle(s) + bob, sinSingle(2.0f * s) + 0.5f, fsin(0.767 * s), 0, 0,
                            0, 0, 1, upZ, "view 0");
                break;
            case 1:
                shot = look(10.0f * sinSingle(s + 5.0f) + bob, sinSingle(2.0f * s) - 10.5f,
                            fsin(0.767 * s + 2.0), 0, -20, 0, 0, 1, upZ, "view 1");
                break;
            default:
                shot = look(20.0f - 40.0f * fmodSingle(c.bars, 3.0f) + bob,
                            sinSingle(2.0f * s) - 10.5f, fsin(0.767 * s + 2.0), 0, -10, 0, 0, 1,
                            upZ, "view 2");
        }
    }
    shot.halfWidth = 0.4f + 0.006f * (c.beatFraction + 1.0f);
    return shot;
}

// The four temple viewpoints, with scene 9's or scene 10's constants.
struct TempleViews {
    CameraShot ring, swing, below, side;
    float t = 0.0f;
};

TempleViews templeViews(const SceneClock& c) {
    TempleViews v;
    const bool ten = c.bars >= 120.0f;
    const float t = c.sceneSeconds(104);
    const float e = ten ? 0.1f : 0.0f;
    const float gate = ten ? 1.0f : 0.0f;
    float a = 2.0f * sinSingle(0.15f * t) - 83.0f;
    if (ten) a = 0.65f * a;
    const float b = 2.0f * sinSingle(0.2f * t) + 7.0f;
    const double q = e + static_cast<double>(0.2f);
    const float d = ten ? static_cast<float>(2.4f * t * q)
                        : static_cast<float>(q * sinSingle(0.4f * t) + static_cast<double>(0.2f));
    const float eu = static_cast<float>(0.1 * sinSingle(0.11f * t));
    const float f = 4.0f * sinSingle(t) - 20.0f;
    const float g = static_cast<float>((e + static_cast<double>(0.18f)) * t);
    const float h = ten ? static_cast<float>(2.0f * sinSingle(t + 1.5f * c.beatFraction) - 25.0f +
                                             25.0 * (t - static_cast<double>(40.2f)))
                        : -80.0f;
    const float i = ten ? 1.5707964f : static_cast<float>(q * t + 0.4);
    const float j = ten ? 100.0f : 0.1f;
    const float k = 0.05f * sinSingle(16.0f * t) * gate * c.beatFraction;
    v.t = t;
    v.ring = look(a * cosSingle(d), b, a * sinSingle(d), 0, b, 0, eu, 1, k, "ring");
    v.swing = look(-40.0f * cosSingle(g), f, -40.0f * sinSingle(g), 0, 0, 40, 0, 1, k, "swing");
    v.below = look(-2.0f * cosSingle(i), h, -2.0f * sinSingle(i), 0, j, -0.1f, 0, 1, 0, "below");
    v.side =
        look(-40.0f * cosSingle(-g), f - 5.0f, -40.0f * fsin(0.8 * g), 30, 20, 40, 0, 1, k, "side");
    return v;
}

CameraShot temple(const SceneClock& c) {
    const TempleViews v = templeViews(c);
    const float t = v.t;
    CameraShot shot = v.swing;
    if (c.bars < 120.0f) {
        if (static_cast<int>(0.125f * t) % 4 == 1) shot = v.ring;
        if (t > 18.0f) shot = v.below;
        return shot;
    }
    float halfWidth = 0.4f;
    if (static_cast<int>(t + 1.5f) % 3 == 1) {
        shot = v.ring;
        if (t > 30.2f) {
            halfWidth = static_cast<float>(0.4 + 0.01 * c.beatFraction);
            shot = v.side;
        }
    }
    if (t > 40.2f) shot = v.below;
    shot.halfWidth = halfWidth;
    return shot;
}

CameraShot templeRing(const SceneClock& c) {
    return templeViews(c).ring;
}
CameraShot templeSwing(const SceneClock& c) {
    return templeViews(c).swing;
}
CameraShot templeBelow(const SceneClock& c) {
    return templeViews(c).below;
}
CameraShot templeSide(const SceneClock& c) {
    return templeViews(c).side;
}

}  // namespace

const SceneCamera kSceneCameras[] = {
    {"intro", "scene 0, the wall", 0, 8, intro},
    {"canyon", "scenes 1-2, the unturned wall (the other is turned half about z)", 8, 24, canyon},
    {"asteroid-tunnel", "scene 3, the wall turned half about z", 24, 40, asteroidTunnel},
    {"asteroid-rock", "scene 3, the tumbling rock", 24, 40, asteroidRock},
    {"flyby", "scene 4, the wall", 40, 56, flyby},
    {"cave", "scenes 5-6, the cave mesh", 56, 72, cave},
    {"cave-boulder", "scenes 5-6, the half-size boulder", 56, 72, caveBoulder},
    {"rockets", "scenes 7-8, ground and rockets", 72, 104, rockets},
    {"temple", "scenes 9-10, the pantheon mesh, as scheduled", 104, 136, temple},
    {"temple-swing", "scenes 9-10, the swing view throughout", 104, 136, templeSwing},
    {"temple-ring", "scenes 9-10, the ring view throughout", 104, 136, templeRing},
    {"temple-below", "scenes 9-10, the view from below throughout", 104, 136, templeBelow},
    {"temple-side", "scene 10, the side view throughout", 120, 136, templeSide},
};
const int kSceneCameraCount = sizeof kSceneCameras / sizeof kSceneCameras[0];

const SceneCamera* findSceneCamera(const char* name) {
    for (const SceneCamera& s : kSceneCameras)
        if (std::strcmp(s.name, name) == 0) return &s;
    return nullptr;
}

double barsToSeconds(double bars) {
    return bars * 4.0 * kSecondsPerBeat;
}

SceneClock clockAtSeconds(double seconds) {
    const auto position = static_cast<std::int64_t>(std::llround(seconds * 10000000.0));
    return computeSceneClock(position, 1280.0f, 720.0f, kStartBars);
}
