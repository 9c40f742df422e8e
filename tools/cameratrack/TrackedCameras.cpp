#include "TrackedCameras.h"

#include <cmath>
#include <cstring>

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

// The bars from the start of scene `first` to the end of scene `last`.
constexpr int startOf(int first) {
    return kTimeline[first].startBar;
}
constexpr int endOf(int last) {
    return sceneEndBar(last);
}

}  // namespace

const TrackedCamera kTrackedCameras[] = {
    {"intro", "scene 0, the wall", startOf(0), endOf(0), introCamera},
    {"canyon", "scenes 1-2, the unturned wall (the other is turned half about z)", startOf(1),
     endOf(2), canyonCamera},
    {"asteroid-tunnel", "scene 3, the wall turned half about z", startOf(3), endOf(3), tunnelWall},
    {"asteroid-rock", "scene 3, the tumbling rock", startOf(3), endOf(3), tunnelRock},
    {"flyby", "scene 4, the wall", startOf(4), endOf(4), flybyCamera},
    {"cave", "scenes 5-6, the cave mesh", startOf(5), endOf(6), caveCamera},
    {"cave-boulder", "scenes 5-6, the half-size boulder", startOf(5), endOf(6), caveBoulder},
    {"rockets", "scenes 7-8, ground and rockets", startOf(7), endOf(8), rocketsCamera},
    {"temple", "scenes 9-10, the pantheon mesh, as scheduled", startOf(9), endOf(10), templeCamera},
    {"temple-swing", "scenes 9-10, the swing view throughout", startOf(9), endOf(10), templeSwing},
    {"temple-ring", "scenes 9-10, the ring view throughout", startOf(9), endOf(10), templeRing},
    {"temple-below", "scenes 9-10, the view from below throughout", startOf(9), endOf(10),
     templeBelow},
    {"temple-side", "scene 10, the side view throughout", startOf(10), endOf(10), templeSide},
};
const int kTrackedCameraCount = sizeof kTrackedCameras / sizeof kTrackedCameras[0];

const TrackedCamera* findTrackedCamera(const char* name) {
    for (const TrackedCamera& s : kTrackedCameras)
        if (std::strcmp(s.name, name) == 0) return &s;
    return nullptr;
}

SceneClock clockAtSeconds(double seconds) {
    static constexpr auto kStartBars = sceneStartBarTable();
    const auto position = static_cast<std::int64_t>(std::llround(seconds * 10000000.0));
    return computeSceneClock(position, 1280.0f, 720.0f, kStartBars.data());
}
