#include "demo/DemoAssets.h"
#include "demo/Scenes.h"

void drawCaveScene(DemoAssets&, SceneClock&) {}
