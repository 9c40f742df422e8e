#include "demo/DemoAssets.h"
#include "demo/Scenes.h"

void drawAsteroidTunnelScene(DemoAssets&, SceneClock&) {}
