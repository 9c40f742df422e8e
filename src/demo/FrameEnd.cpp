#include "demo/FrameEnd.h"

#include "app/DemoWindow.h"
#include "demo/SceneClock.h"
#include "gl/GlEntryTable.h"

bool frameEnd(float bars, DemoWindow& window) {
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (kEndBar < bars) window.endRequested = 1;
    return window.pump();
}
