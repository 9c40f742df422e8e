// Resource numbers shared by velmora.rc and the code (plain defines: the resource compiler reads
// this file too).
#pragma once

#define VELMORA_LAUNCHER_BITMAP 101
#define VELMORA_ICON 102
#define VELMORA_LAUNCHER_DIALOG 103
#define VELMORA_RESOLUTION_BOX 104
#define VELMORA_NO_LAUNCH_BUTTON 105
#define VELMORA_LAUNCH_BUTTON 106
#define VELMORA_FULLSCREEN_BOX 107
