#include "gl/GlStateGuard.h"

#include "gl/GlEntryTable.h"

namespace {

void set(GLenum capability, GLint on) {
    if (on)
        gl.glEnable(capability);
    else
        gl.glDisable(capability);
}

}  // namespace

GlStateGuard::GlStateGuard() {
    gl.glGetIntegerv(GL_CURRENT_PROGRAM, &program_);
    gl.glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray_);
    gl.glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer_);
    gl.glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture_);
    gl.glActiveTexture(GL_TEXTURE0);
    gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
    gl.glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer_);
    gl.glGetIntegerv(GL_VIEWPORT, viewport_);
    gl.glGetIntegerv(GL_BLEND, &blend_);
    gl.glGetIntegerv(GL_DEPTH_TEST, &depthTest_);
    gl.glGetIntegerv(GL_CULL_FACE, &cullFace_);
    gl.glGetIntegerv(GL_SCISSOR_TEST, &scissorTest_);
    gl.glGetIntegerv(GL_BLEND_SRC_RGB, &blendSrcRgb_);
    gl.glGetIntegerv(GL_BLEND_DST_RGB, &blendDstRgb_);
    gl.glGetIntegerv(GL_BLEND_SRC_ALPHA, &blendSrcAlpha_);
    gl.glGetIntegerv(GL_BLEND_DST_ALPHA, &blendDstAlpha_);
}

GlStateGuard::~GlStateGuard() {
    gl.glUseProgram(static_cast<GLuint>(program_));
    gl.glBindVertexArray(static_cast<GLuint>(vertexArray_));
    gl.glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer_));
    gl.glActiveTexture(GL_TEXTURE0);
    gl.glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
    gl.glActiveTexture(static_cast<GLenum>(activeTexture_));
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(framebuffer_));
    gl.glViewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
    set(GL_BLEND, blend_);
    set(GL_DEPTH_TEST, depthTest_);
    set(GL_CULL_FACE, cullFace_);
    set(GL_SCISSOR_TEST, scissorTest_);
    gl.glBlendFuncSeparate(static_cast<GLenum>(blendSrcRgb_), static_cast<GLenum>(blendDstRgb_),
                           static_cast<GLenum>(blendSrcAlpha_),
                           static_cast<GLenum>(blendDstAlpha_));
}
