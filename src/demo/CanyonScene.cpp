#include "demo/DemoAssets.h"
#include "demo/Scenes.h"

void drawCanyonScene(DemoAssets&, SceneClock&) {}
