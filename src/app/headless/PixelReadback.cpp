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
    gl.glGenTextures(kSlots, textures_);
    gl.glGenFramebuffers(kSlots, framebuffers_);
    gl.glGenBuffers(kSlots, buffers_);
    bool complete = true;
    for (int i = 0; i < kSlots; ++i) {
        gl.glBindTexture(GL_TEXTURE_2D, textures_[i]);
        gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                        nullptr);
        gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffers_[i]);
        gl.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textures_[i],
                                  0);
        complete =
            complete && gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[i]);
        gl.glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(bytes_), nullptr,
                        GL_STREAM_READ);
    }
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    if (!complete) std::printf("Cannot make the %dx%d read-back copies\n", width, height);
    return complete;
}

void PixelReadback::queue(long tag) {
    const int slot = (oldest_ + used_) % kSlots;
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers_[slot]);
    // Turned upside down on the way: the rows come out top first, as files and encoders want.
    gl.glBlitFramebuffer(0, 0, width_, height_, 0, height_, width_, 0, GL_COLOR_BUFFER_BIT,
                         GL_NEAREST);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    tags_[slot] = tag;
    ++used_;
    // The oldest copy not yet read, once kCopiesAhead newer ones follow it.
    for (int i = 0; i < used_; ++i) {
        const int older = (oldest_ + i) % kSlots;
        if (reading_[older]) continue;
        if (used_ - i > kCopiesAhead) issueRead(older);
        break;
    }
}

void PixelReadback::issueRead(int slot) {
    gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers_[slot]);
    gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers_[slot]);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    gl.glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    reading_[slot] = true;
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
    if (buffers_[0] != 0) {
        gl.glDeleteBuffers(kSlots, buffers_);
        gl.glDeleteFramebuffers(kSlots, framebuffers_);
        gl.glDeleteTextures(kSlots, textures_);
    }
    for (int i = 0; i < kSlots; ++i) buffers_[i] = framebuffers_[i] = textures_[i] = 0;
    for (bool& reading : reading_) reading = false;
    oldest_ = used_ = 0;
}
