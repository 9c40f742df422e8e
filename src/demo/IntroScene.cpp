#include "demo/DemoAssets.h"
#include "demo/Scenes.h"

void drawIntroScene(DemoAssets&, SceneClock&) {}
