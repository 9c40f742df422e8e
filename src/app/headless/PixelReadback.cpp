#include "app/headless/PixelReadback.h"

#include <cstdio>

#include "gl/GlEntryTable.h"

PixelReadback::~PixelReadback() {
    release();
}

bool PixelReadback::create(int width, int height) {
    width_ = width;
    height_ = height;
    bytes_ = static_cast<std::size_t>(width) * height * 4;
    if (!gl.glMapBufferRange || !gl.glUnmapBuffer) {
        std::printf("The OpenGL driver cannot map buffers: no frame capture\n");
        return false;
    }
    gl.glGenBuffers(kSlots, buffers_);
    for (GLuint buffer : buffers_) {
        gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        gl.glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(bytes_), nullptr,
                        GL_STREAM_READ);
    }
    gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    return true;
}

void PixelReadback::queue(long tag) {
    const int slot = next_;
    gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[slot]);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    tags_[slot] = tag;
    next_ = (next_ + 1) % kSlots;
    ++pending_;
}

const std::uint8_t* PixelReadback::map(int slot) {
    gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[slot]);
    void* pixels = gl.glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(bytes_),
                                       GL_MAP_READ_BIT);
    if (!pixels) {
        gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        std::printf("Cannot map the read-back buffer of a frame\n");
    }
    return static_cast<const std::uint8_t*>(pixels);
}

void PixelReadback::unmap() {
    gl.glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

void PixelReadback::release() {
    if (buffers_[0] != 0) gl.glDeleteBuffers(kSlots, buffers_);
    for (GLuint& buffer : buffers_) buffer = 0;
    pending_ = 0;
}
