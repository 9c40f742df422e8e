#include "app/DemoMain.h"

#include <string>

#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "app/PictureSize.h"
#include "app/StartupFailure.h"
#include "audio/MusicPlayer.h"
#include "demo/Demo.h"

bool openDemoWindow(LaunchSettings& settings, DemoWindow& window) {
    if (!window.create(settings.width, settings.height, settings.fullscreen != 0)) return false;
    // Sizes the GL cannot draw at are refused before the load phase builds its target for them.
    for (const std::string& problem : {pictureSizeProblem(settings.width, settings.height),
                                       pictureSizeProblem(window.width, window.height)}) {
        if (problem.empty()) continue;
        reportStartupFailure(problem);
        window.shutdown();
        return false;
    }
    // The window may show another size than asked for (a screen too small for it, a full-screen
    // mode the display refused): the picture is drawn at the size it shows.
    settings.width = window.width;
    settings.height = window.height;
    return true;
}

void reportUnusableAssets(const Demo& demo, DemoWindow& window, MusicPlayer& music) {
    if (demo.unusableAssets().empty()) return;
    // The music holds still while the front end may wait for the viewer to read the note.
    music.pause();
    window.reportUnusableAssets(demo.unusableAssets());
    music.resume();
}

int runDemo(LaunchSettings& settings, DemoWindow& window, MusicPlayer& music) {
    if (!openDemoWindow(settings, window)) return 1;
    Demo demo;
    demo.load(window.width, window.height, music);
    reportUnusableAssets(demo, window, music);

    // Escape pressed while loading ends the demo here, before the first frame.
    bool running = window.pump();
    while (running) {
        if (!demo.frame(music.position())) window.endRequested = 1;
        running = window.pump();
    }

    demo.release();
    window.shutdown();
    return 0;
}
