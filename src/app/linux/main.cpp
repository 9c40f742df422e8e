// velmora: the demo in a window on the Linux desktop. Without options the launcher comes first.
//   --size WxH       open at this size without the launcher
//   --fullscreen     switch the display to the chosen size (preticks the launcher's box)
//   --no-launcher    skip the launcher (1280x720 unless --size says otherwise)
//   --dev            developer mode: transport keys, hot reload, overlay (README: "Working on the
//                    demo")
//   --from T         with --dev: start at T, seconds or bars with a 'b' suffix (20b)
// Started from a folder without assets/, it works from the one next to the executable or from the
// source tree it was built from.
// Exit codes: 0 when the demo ends or "No Launch" is pressed, 1 without a display, a 3.3 core
// context or an assets/ folder, 2 for a bad option.
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/AssetRoot.h"
#include "app/DemoMain.h"
#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "app/LauncherList.h"
#include "app/MusicTime.h"
#include "app/StartupFailure.h"
#include "app/dev/DevMode.h"
#include "app/linux/GtkLauncher.h"
#include "app/linux/SdlDisplayModes.h"
#include "audio/linux/SdlMusicPlayer.h"

namespace {

struct Options {
    int width = 1280, height = 720;
    bool fullscreen = false;
    bool launcher = true;
    bool dev = false;
    double fromSeconds = -1.0;  // -1: not given
    bool help = false;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            o.help = true;
        } else if (std::strcmp(a, "--fullscreen") == 0) {
            o.fullscreen = true;
        } else if (std::strcmp(a, "--no-launcher") == 0) {
            o.launcher = false;
        } else if (std::strcmp(a, "--dev") == 0) {
            o.dev = true;
        } else if (std::strcmp(a, "--from") == 0 && i + 1 < argc) {
            if (!parseMusicTime(argv[++i], o.fromSeconds)) {
                std::printf(
                    "velmora: --from needs a time: seconds, or bars with a b suffix (20b)\n");
                return false;
            }
        } else if (std::strcmp(a, "--size") == 0 && i + 1 < argc) {
            int w = 0, h = 0;
            if (!chooseResolution(argv[++i], w, h)) {
                std::printf("velmora: --size needs WIDTHxHEIGHT above 0, such as 1280x720\n");
                return false;
            }
            o.width = w;
            o.height = h;
            o.launcher = false;
        } else {
            std::printf(
                "velmora: unknown or incomplete option %s (--size WxH, --fullscreen, "
                "--no-launcher, --help)\n",
                a);
            return false;
        }
    }
    if (o.fromSeconds >= 0.0 && !o.dev) {
        std::printf("velmora: --from works in developer mode only (--dev)\n");
        return false;
    }
    return true;
}

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Starts SDL's video on the display and reads the modes of display 0 for the launcher. SDL quietly
// falls back to an invisible off-screen window when no display answers; that counts as no
// display.
bool openDisplay(std::vector<DisplayMode>& modes) {
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        std::printf(
            "velmora: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
            "velmora-headless renders without one\n");
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::printf("velmora: no display: %s\n", SDL_GetError());
        return false;
    }
    if (!sdlHasRealDisplay()) {
        std::printf("velmora: no display: SDL could only start its \"%s\" video driver\n",
                    SDL_GetCurrentVideoDriver());
        SDL_Quit();
        return false;
    }
    modes = sdlDisplayModes();
    return true;
}

}  // namespace

// Started from a file manager, standard output goes nowhere anyone reads: the line that ended the
// start-up is shown in a dialog as well.
static int showStartupFailure(int code) {
    if (code != 0 && !startupFailure().empty() && !isatty(STDOUT_FILENO) &&
        (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY")))
        showStartupFailureDialog(startupFailure());
    return code;
}

static int play(const Options& options);

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) return 2;
    if (options.help) {
        std::printf(
            "Usage: velmora [options]\n"
            "Plays the demo in a window; without options a launcher asks for the size first.\n"
            "  --size WxH       open at this size without the launcher\n"
            "  --fullscreen     switch the display to the chosen size\n"
            "  --no-launcher    skip the launcher (1280x720 unless --size says otherwise)\n"
            "  --dev            developer mode: transport keys, hot reload, overlay\n"
            "  --from T         with --dev: start at T, seconds or bars with a 'b' suffix (20b)\n"
            "  --help           this text\n"
            "Escape ends the demo. Exit codes: 0 done, 1 no display, no 3.3 core context or no\n"
            "assets/ folder, 2 a bad option.\n");
        return 0;
    }
    return showStartupFailure(play(options));
}

// Everything after the options: the launcher, then the demo.
static int play(const Options& options) {
    if (!enterAssetRoot()) return 1;
    std::vector<DisplayMode> modes;
    if (!openDisplay(modes)) return 1;

    LaunchSettings settings;
    settings.fullscreen = options.fullscreen ? 1 : 0;
    if (options.launcher) {
        if (!startGtk()) {
            SDL_Quit();
            return 1;
        }
        // SDL's video stops while the launcher runs: SDL turns SIGINT and SIGTERM into quit
        // events, which the launcher would never read. Stopped only now, with GTK connected: a
        // display server left without clients (Xvfb) resets and refuses the next one for a moment.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        runGtkLauncher(settings, modes);
        if (!settings.launch) return 0;
    } else {
        settings.width = options.width;
        settings.height = options.height;
    }

    int code;
    {
        SdlMusicPlayer music;
        DemoWindow window;
        code = options.dev ? runDevMode(settings, window, music, std::max(options.fromSeconds, 0.0))
                           : runDemo(settings, window, music);
    }
    SDL_Quit();
    return code;
}
