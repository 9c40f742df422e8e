// velmora.exe: the launcher, then the demo with its soundtrack played through DirectShow. Takes no
// options; diagnostics go to standard output, visible when it is redirected, and to velmora.log
// (ConsoleLog.h). A failure that ends it before the first frame shows its line in a "Velmora
// cannot start" box. Started from a folder without assets/, it works from the one next to the
// executable.
// velmora-dev.exe is the same program built with VELMORA_DEV: after the launcher the demo runs in
// developer mode (transport keys, hot reload, overlay; README: "Working on the demo").
#include <windows.h>
// windows.h first: commctrl.h builds on its types.
#include <commctrl.h>

#include <filesystem>

#include "app/AssetRoot.h"
#include "app/DemoMain.h"
#include "app/DemoWindow.h"
#include "app/LaunchSettings.h"
#include "app/StartupFailure.h"
#include "app/win32/ConsoleLog.h"
#include "app/win32/Launcher.h"
#ifdef VELMORA_DEV
#include "app/dev/DevMode.h"
#endif
#include "audio/win32/DirectShowMusicPlayer.h"

namespace {

int play(HINSTANCE instance) {
    if (!enterAssetRoot()) return 1;
    InitCommonControls();
    LaunchSettings settings;
    if (!runLauncher(instance, settings)) {
        reportStartupFailure("The launcher dialog cannot be shown");
        return 1;
    }
    if (!settings.launch) return 0;

    DemoWindow window;
    DirectShowMusicPlayer music;  // released before the process ends, which stops the graph
#ifdef VELMORA_DEV
    return runDevMode(settings, window, music, 0.0);
#else
    return runDemo(settings, window, music);
#endif
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    startConsoleLog();
    const int code = play(instance);
    stopConsoleLog();
    if (code != 0 && !startupFailure().empty())
        MessageBoxW(nullptr, std::filesystem::u8path(startupFailure()).wstring().c_str(),
                    L"Velmora cannot start", MB_OK | MB_ICONERROR);
    return code;
}
