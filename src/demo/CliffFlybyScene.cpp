#include "demo/DemoAssets.h"
#include "demo/Scenes.h"

void drawCliffFlybyScene(DemoAssets&, SceneClock&) {}
