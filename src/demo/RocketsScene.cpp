#include "demo/DemoAssets.h"
#include "demo/Scenes.h"

void drawRocketsScene(DemoAssets&, SceneClock&) {}
