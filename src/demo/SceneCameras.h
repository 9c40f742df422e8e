#pragma once
#include "demo/SceneClock.h"
#include "math/Matrix4.h"

// Where every scene looks from, as a pure function of the frame's clock. The scenes draw with
// these, and the camera-track tool and the tests read the same functions. Each is defined in its
// scene's file, beside the constants of that scene's timeline. Positions are row vectors:
// p_view = p * view.

// The lens every frame starts with, and the one a shot keeps unless it narrows or widens it.
constexpr float kLensHalfWidth = 0.4f;

// One frame of a scene camera.
struct CameraShot {
    Matrix4 view;                      // the scene's world as the camera sees it
    float halfWidth = kLensHalfWidth;  // of the lens at distance 1, across the width
    const char* viewpoint = "";        // which of the scene's viewpoints is in use
};

// The projection of a shot's lens at the clock's aspect, near 1, far 200.
Matrix4 lensOf(const CameraShot& shot, const SceneClock& clock);

// The wall drifting past, the world turned a quarter about y ("wall").
CameraShot introCamera(const SceneClock& clock);
// The flight down the canyon ("flight"), from bar 16 the tumble about the origin ("tumble"). The
// view is the unturned wall's; the other wall is the same surface turned half a turn about z.
CameraShot canyonCamera(const SceneClock& clock);
// Orbiting the rock ("orbit"), standing back on the last bar of each phrase ("far") or, from bar
// 32, weaving close in instead ("inside").
CameraShot tunnelCamera(const SceneClock& clock);
// Along the wall ("fly-by"), rolled in bars 44 to 48 ("rolled"), then high and sinking ("high").
CameraShot flybyCamera(const SceneClock& clock);
// Sinking past the shaft's axis ("descent"), narrowed and tilted on the last beat ("zoom").
CameraShot caveCamera(const SceneClock& clock);
// A viewpoint a bar, three in turn ("view 0" to "view 2"), two tracking shots in bars 88 to 96
// ("track 1", "track 2"); the lens breathes once a beat.
CameraShot rocketsCamera(const SceneClock& clock);

// The temple's four viewpoints at a frame, with scene 9's or scene 10's constants.
struct TempleViews {
    CameraShot ring, swing, below, side;
};
TempleViews templeViews(const SceneClock& clock);
// The one of them the temple is drawn from, with the lens it is seen through.
CameraShot templeCamera(const SceneClock& clock);

// Where the moving objects sit in a camera's view: `view` becomes the object's.
// The tunnel: the wall surface turned half a turn about the tunnel's axis.
void placeTunnelWall(Matrix4& view);
// The rock tumbling at the tunnel's centre.
void placeTunnelRock(Matrix4& view, const SceneClock& clock);
// The half-size boulder sinking through the cave.
void placeCaveBoulder(Matrix4& view, const SceneClock& clock);
