#pragma once
#include <vector>

#include "gl/GlHeaders.h"

class Texture2D;

// One framebuffer object and a per-slot record of what is attached (one slot per draw buffer).
class RenderTarget {
public:
    RenderTarget();
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Attaches texture (null detaches) at attachmentPoint and records it in `slot`; leaves
    // framebuffer 0 bound.
    void attach(int slot, Texture2D* texture, GLenum attachmentPoint);

    GLuint framebuffer = 0;
    std::vector<Texture2D*> slotTextures;
    std::vector<GLenum> drawBufferList;
    int slotCount = 0;
};
