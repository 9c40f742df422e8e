// The launcher dialog: the 32-bit 60 Hz modes of display device 0 in an editable box, "Fullscreen",
// "No Launch" and "Launch". Only the two buttons end it: the close box, Escape and Enter do
// nothing. "Launch" without a size above 0 (nothing chosen, nothing usable typed) says so and
// keeps the dialog open.
#include "app/win32/Launcher.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/LaunchSettings.h"
#include "app/LauncherList.h"
#include "app/win32/LauncherResources.h"

namespace {

static_assert(sizeof(DISPLAY_DEVICEA) == 424, "display-device record");
static_assert(sizeof(DEVMODEA) == 156, "display-mode record");

std::vector<DisplayMode> modesOfFirstDevice() {
    std::vector<DisplayMode> modes;
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof device;
    if (!EnumDisplayDevicesA(nullptr, 0, &device, 0)) return modes;
    if (!(device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP)) return modes;
    for (DWORD index = 0;; ++index) {
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        mode.dmDriverExtra = 0;
        if (!EnumDisplaySettingsA(device.DeviceName, index, &mode)) break;
        DisplayMode m;
        m.width = static_cast<int>(mode.dmPelsWidth);
        m.height = static_cast<int>(mode.dmPelsHeight);
        m.bitsPerPixel = static_cast<int>(mode.dmBitsPerPel);
        m.refreshRate = static_cast<int>(mode.dmDisplayFrequency);
        modes.push_back(m);
    }
    return modes;
}

void fillResolutionBox(HWND dialog) {
    const LauncherList list = buildLauncherList(modesOfFirstDevice());
    for (const std::string& item : list.items)
        SendDlgItemMessageA(dialog, VELMORA_RESOLUTION_BOX, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(item.c_str()));
    SendDlgItemMessageA(dialog, VELMORA_RESOLUTION_BOX, CB_SETCURSEL,
                        static_cast<WPARAM>(list.preselect), 0);
}

// True when the dialog may end.
bool launch(HWND dialog, LaunchSettings& settings) {
    HWND box = GetDlgItem(dialog, VELMORA_RESOLUTION_BOX);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(box)) + 1, '\0');
    GetWindowTextA(box, &text[0], static_cast<int>(text.size()));
    int width = settings.width, height = settings.height;
    if (!chooseResolution(text.c_str(), width, height)) {
        std::printf("%s\n", kResolutionNeeded);
        std::fflush(stdout);
        MessageBoxA(dialog, kResolutionNeeded, "ZORVEK LAUNCHER", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    settings.width = width;
    settings.height = height;
    if (IsDlgButtonChecked(dialog, VELMORA_FULLSCREEN_BOX) == BST_CHECKED) settings.fullscreen = 1;
    return true;
}

INT_PTR CALLBACK launcherProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        fillResolutionBox(dialog);
        return FALSE;  // the dialog manager sets no default focus
    }
    if (message != WM_COMMAND || HIWORD(wParam) != 0) return FALSE;
    auto& settings = *reinterpret_cast<LaunchSettings*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (LOWORD(wParam)) {
        case VELMORA_NO_LAUNCH_BUTTON:
            settings.launch = 0;
            EndDialog(dialog, 0);
            return TRUE;
        case VELMORA_LAUNCH_BUTTON:
            if (launch(dialog, settings)) EndDialog(dialog, 0);
            return TRUE;
        default: return FALSE;
    }
}

}  // namespace

bool runLauncher(HINSTANCE instance, LaunchSettings& settings) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(VELMORA_LAUNCHER_DIALOG), nullptr,
                           launcherProcedure, reinterpret_cast<LPARAM>(&settings)) != -1;
}
