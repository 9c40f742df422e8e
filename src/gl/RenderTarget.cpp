#include "gl/RenderTarget.h"

#include "gl/GlEntryTable.h"
#include "gl/Texture2D.h"

RenderTarget::RenderTarget() {
    gl.glGetIntegerv(GL_MAX_DRAW_BUFFERS, &slotCount);
    slotTextures.assign(slotCount, nullptr);
    drawBufferList.assign(slotCount, GL_NONE);
    gl.glGenFramebuffers(1, &framebuffer);
}

RenderTarget::~RenderTarget() {
    gl.glDeleteFramebuffers(1, &framebuffer);
}

void RenderTarget::attach(int slot, Texture2D* texture, GLenum attachmentPoint) {
    if (slot < 0 || slot >= slotCount) return;
    slotTextures[slot] = texture;
    drawBufferList[slot] =
        texture && attachmentPoint != GL_DEPTH_ATTACHMENT ? attachmentPoint : GLenum(GL_NONE);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.glFramebufferTexture2D(GL_FRAMEBUFFER, attachmentPoint, GL_TEXTURE_2D,
                              texture ? texture->id : 0, 0);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
