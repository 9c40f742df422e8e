#pragma once

struct DemoAssets;
struct SceneClock;

// One routine per scene (pairs of scenes share one). Each finds depth test on, blending off and
// leaves them so; `clock.projection` may be replaced for the rest of the frame.
void drawIntroScene(DemoAssets& assets, SceneClock& clock);          // scene 0
void drawCanyonScene(DemoAssets& assets, SceneClock& clock);         // scenes 1, 2
void drawAsteroidTunnelScene(DemoAssets& assets, SceneClock& clock); // scene 3
void drawCliffFlybyScene(DemoAssets& assets, SceneClock& clock);     // scene 4
void drawCaveScene(DemoAssets& assets, SceneClock& clock);           // scenes 5, 6
void drawRocketsScene(DemoAssets& assets, SceneClock& clock);        // scenes 7, 8
void drawTempleScene(DemoAssets& assets, SceneClock& clock);         // scenes 9, 10
