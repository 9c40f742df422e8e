#include "demo/FrameEnd.h"

#include "demo/Timeline.h"
#include "gl/GlEntryTable.h"

bool frameEnd(float bars) {
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return !isPastTheEnd(bars);
}
