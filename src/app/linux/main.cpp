// velmora: the demo in a window on the Linux desktop. Without options the launcher comes first;
// `--help` lists the options (desktopCommandLine below), developer mode's among them.
// Started from a folder without assets/, it works from the one next to the executable or from the
// source tree it was built from.
// Exit codes: 0 when the demo ends or "No Launch" is pressed, 1 without a display, a 3.3 core
// context or an assets/ folder, 2 for a bad option.
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/AssetRoot.h"
#include "app/CommandLine.h"
#include "app/DemoMain.h"
#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "app/LauncherList.h"
#include "app/StandardStreams.h"
#include "app/StartupFailure.h"
#include "app/dev/DevMode.h"
#include "app/linux/GtkLauncher.h"
#include "app/linux/SdlDisplayModes.h"
#include "audio/linux/SdlMusicPlayer.h"
#include "demo/Timeline.h"

namespace {

struct Options {
    int width = 1280, height = 720;
    bool sizeGiven = false;
    bool fullscreen = false;
    bool noLauncher = false;
    bool dev = false;
    double fromSeconds = -1.0;  // -1: not given
};

CommandLine desktopCommandLine(Options& o) {
    // Developer mode starts anywhere before the demo's end (the first frame past bar 142).
    char end[64];
    std::snprintf(end, sizeof end, "the demo's end (bar %g, %.2f s)", static_cast<double>(kEndBar),
                  secondsOfBars(kEndBar));
    CommandLine line;
    line.program = "velmora";
    line.arguments = "[options]";
    line.about =
        "Plays the demo in a window; without options a launcher asks for the size first.\n";
    OptionValue size = sizeValue(o.width, o.height);
    size.take = [&o, take = size.take](const char* text) { return o.sizeGiven = take(text); };
    line.options = {
        {"--size", "WxH", "open at this size without the launcher", size},
        {"--fullscreen", "", "switch the display to the chosen size", flagValue(o.fullscreen)},
        {"--no-launcher", "", "skip the launcher (1280x720 unless --size says otherwise)",
         flagValue(o.noLauncher)},
        {"--dev", "", "developer mode: transport keys, hot reload, overlay", flagValue(o.dev)},
        {"--from", "T", "with --dev: start at T, seconds or bars with a 'b' suffix (20b)",
         timeValue(o.fromSeconds, secondsOfBars(kEndBar), end)},
    };
    line.notes =
        "Escape ends the demo. Exit codes: 0 done, 1 no display, no 3.3 core context or no\n"
        "assets/ folder, 2 a bad option.\n";
    return line;
}

ParseResult parse(int argc, char** argv, Options& o) {
    const CommandLine line = desktopCommandLine(o);
    const ParseResult result = parseCommandLine(line, argc, argv);
    if (result == ParseResult::Help) printUsage(line);
    if (result != ParseResult::Run) return result;
    if (o.fromSeconds >= 0.0 && !o.dev) {
        refuseArguments(line, "--from works in developer mode only (--dev)");
        return ParseResult::Bad;
    }
    return ParseResult::Run;
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
    keepStandardStreamsOpen();
    Options options;
    switch (parse(argc, argv, options)) {
        case ParseResult::Help: return 0;
        case ParseResult::Bad: return 2;
        case ParseResult::Run: break;
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
    if (!options.noLauncher && !options.sizeGiven) {
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
