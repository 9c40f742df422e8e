#pragma once
#include "gl/GlHeaders.h"

// Around a tool pass drawn over or after the demo's frame (the developer overlay, the
// supersampling filter): saves the state such a pass touches when made, and puts it back when it
// goes. Covered: program, vertex array, array buffer, active texture unit and unit 0's 2D
// texture, draw framebuffer, viewport, blending and its factors, depth test, culling, scissor.
// Leaves unit 0 active while it lives.
class GlStateGuard {
public:
    GlStateGuard();
    ~GlStateGuard();
    GlStateGuard(const GlStateGuard&) = delete;
    GlStateGuard& operator=(const GlStateGuard&) = delete;

private:
    GLint program_, vertexArray_, arrayBuffer_, activeTexture_, texture_, framebuffer_;
    GLint viewport_[4];
    GLint blend_, depthTest_, cullFace_, scissorTest_;
    GLint blendSrcRgb_, blendDstRgb_, blendSrcAlpha_, blendDstAlpha_;
};
