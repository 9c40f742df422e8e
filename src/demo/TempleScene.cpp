#include "demo/DemoAssets.h"
#include "demo/Scenes.h"

void drawTempleScene(DemoAssets&, SceneClock&) {}
