#include "TrackedCameras.h"

#include <cmath>
#include <cstring>

#include "audio/MusicPosition.h"
#include "demo/Timeline.h"

namespace {

CameraShot tunnelWall(const SceneClock& c) {
    CameraShot shot = tunnelCamera(c);
    placeTunnelWall(shot.view);
    return shot;
}

CameraShot tunnelRock(const SceneClock& c) {
    CameraShot shot = tunnelCamera(c);
    placeTunnelRock(shot.view, c);
    return shot;
}

CameraShot caveBoulder(const SceneClock& c) {
    CameraShot shot = caveCamera(c);
    placeCaveBoulder(shot.view, c);
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

// The rows from the scene `first` to the end of the scene `last`.
constexpr TrackedCamera track(const char* name, const char* about, const char* first,
                              const char* last, CameraShot (*at)(const SceneClock&)) {
    return {
        name, about, sceneNamed(first).startBar, endBar(sceneNamed(last)), at, &sceneNamed(first)};
}

}  // namespace

const TrackedCamera kTrackedCameras[] = {
    track("intro", "the intro, the wall", "intro", "intro", introCamera),
    track("canyon", "canyon and big logo, the unturned wall (the other is turned half about z)",
          "canyon", "big logo", canyonCamera),
    track("asteroid-tunnel", "the tunnel, the wall turned half about z", "tunnel", "tunnel",
          tunnelWall),
    track("asteroid-rock", "the tunnel, the tumbling rock", "tunnel", "tunnel", tunnelRock),
    track("flyby", "the fly-by, the wall", "fly-by", "fly-by", flybyCamera),
    track("cave", "cave and cave 2, the cave mesh", "cave", "cave 2", caveCamera),
    track("cave-boulder", "cave and cave 2, the half-size boulder", "cave", "cave 2", caveBoulder),
    track("rockets", "rockets and rockets 2, ground and rockets", "rockets", "rockets 2",
          rocketsCamera),
    track("temple", "temple and finale, the pantheon mesh, as scheduled", "temple", "finale",
          templeCamera),
    track("temple-swing", "temple and finale, the swing view throughout", "temple", "finale",
          templeSwing),
    track("temple-ring", "temple and finale, the ring view throughout", "temple", "finale",
          templeRing),
    track("temple-below", "temple and finale, the view from below throughout", "temple", "finale",
          templeBelow),
    track("temple-side", "the finale, the side view throughout", "finale", "finale", templeSide),
};
const int kTrackedCameraCount = sizeof kTrackedCameras / sizeof kTrackedCameras[0];

const TrackedCamera* findTrackedCamera(const char* name) {
    for (const TrackedCamera& s : kTrackedCameras)
        if (std::strcmp(s.name, name) == 0) return &s;
    return nullptr;
}

SceneClock clockAtSeconds(double seconds) {
    return computeSceneClock(positionOfSeconds(seconds), 1280.0f, 720.0f);
}

SceneClock TrackedCamera::clockAtSeconds(double seconds) const {
    SceneClock clock = ::clockAtSeconds(seconds);
    // On a start bar the float clock may still fall in the scene before.
    if (!clock.scene || clock.scene->draw != scene->draw) clock.scene = scene;
    return clock;
}
