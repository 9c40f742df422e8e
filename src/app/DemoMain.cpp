#include "app/DemoMain.h"

#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "audio/MusicPlayer.h"
#include "demo/Demo.h"

int runDemo(LaunchSettings& settings, DemoWindow& window, MusicPlayer& music) {
    settings.screenWidth = static_cast<float>(settings.width);
    settings.screenHeight = static_cast<float>(settings.height);
    if (!window.create(settings.width, settings.height, settings.fullscreen != 0)) return 1;

    Demo demo;
    demo.load(settings.width, settings.height, music);

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
