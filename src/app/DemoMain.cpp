#include "app/DemoMain.h"

#include <cstdio>

#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "audio/MusicPlayer.h"
#include "demo/DemoAssets.h"
#include "demo/FrameEnd.h"
#include "demo/FrameHead.h"
#include "demo/LoadPhase.h"

int runDemo(LaunchSettings& settings, DemoWindow& window, MusicPlayer& music) {
    settings.screenWidth = static_cast<float>(settings.width);
    settings.screenHeight = static_cast<float>(settings.height);
    if (!window.create(settings.width, settings.height, settings.fullscreen != 0)) return 1;

    std::printf("Vendor         : %s\nRenderer       : %s\nOpenGL version : %s\nGLSL version   : %s\n",
                gl.glGetString(GL_VENDOR), gl.glGetString(GL_RENDERER),
                gl.glGetString(GL_VERSION), gl.glGetString(GL_SHADING_LANGUAGE_VERSION));
    gl.glClearColor(0.05f, 0.06f, 0.07f, 0.0f);

    // The entry owns every object until the process ends; the teardown releases only a few. Held
    // in static storage, the rest is still reachable, not leaked, when the process exits.
    static DemoAssets assets;
    assets = DemoAssets{};
    loadDemoAssets(assets, settings, music);

    gl.glEnable(GL_DEPTH_TEST);
    gl.glDepthFunc(GL_LEQUAL);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    bool running = window.pump();
    while (running) {
        SceneClock clock = frameHead(music.position(), settings, assets.sceneStartBars);
        drawScene(assets, clock);
        running = frameEnd(clock.bars, window);
    }

    releaseDemoAssets(assets);
    std::fflush(stdout);
    window.shutdown();
    return 0;
}
