#include "demo/LoadPhase.h"

#include "audio/MusicPlayer.h"
#include "demo/DemoAssets.h"

void loadDemoAssets(DemoAssets& assets, const LaunchSettings&, MusicPlayer& music) {
    static const std::int32_t kStartBars[kSceneTableSize] = {0,  8,  22, 24,  40,  56,
                                                             60, 72, 88, 104, 120, 136};
    for (int i = 0; i < kSceneTableSize; ++i) assets.sceneStartBars[i] = kStartBars[i];

    music.open();
    music.seek(0.0);
    music.play();
}

void releaseDemoAssets(DemoAssets&) {}
