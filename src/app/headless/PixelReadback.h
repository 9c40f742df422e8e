#pragma once
#include <cstddef>
#include <cstdint>

#include "gl/GlHeaders.h"

// Reads frames back without stalling the render loop on each one. Frame n is first copied, in
// the GL, into one of a small ring of textures (a queued draw); the read of that copy into a
// pixel-pack buffer is issued two frames later, and the buffer is mapped a frame after that. A
// GPU copies and transfers in the background; llvmpipe, which waits for everything queued when
// a read touches something still being drawn, finds the copy long finished instead of waiting
// for the frame just drawn.
class PixelReadback {
public:
    static constexpr int kSlots = 4;
    static constexpr int kCopiesAhead = 2;  // copies made before the oldest one is read

    PixelReadback() = default;
    ~PixelReadback();
    PixelReadback(const PixelReadback&) = delete;
    PixelReadback& operator=(const PixelReadback&) = delete;

    // With the context current: the ring for width x height RGBA pixels. False after a line.
    bool create(int width, int height);
    // Copies the bound read framebuffer as frame `tag`, issuing the read of an older copy.
    // Leaves framebuffer 0 bound.
    void queue(long tag);
    // Whether a frame must be taken before the next queue.
    bool full() const { return used_ == kSlots; }
    bool empty() const { return used_ == 0; }
    // Maps the oldest frame (rows top first), hands it to `take(tag, pixels)` and frees its
    // slot. False, after a line, when the buffer cannot be mapped.
    template <class Take>
    bool takeOldest(Take&& take) {
        if (!reading_[oldest_]) issueRead(oldest_);  // draining the last copies
        const std::uint8_t* pixels = map(oldest_);
        if (!pixels) return false;
        take(tags_[oldest_], pixels);
        unmap();
        reading_[oldest_] = false;
        oldest_ = (oldest_ + 1) % kSlots;
        --used_;
        return true;
    }
    void release();

private:
    void issueRead(int slot);
    const std::uint8_t* map(int slot);
    void unmap();

    GLuint textures_[kSlots] = {};
    GLuint framebuffers_[kSlots] = {};
    GLuint buffers_[kSlots] = {};
    long tags_[kSlots] = {};
    bool reading_[kSlots] = {};  // the read into the slot's buffer is issued
    int oldest_ = 0;             // the ring holds slots oldest_ .. oldest_ + used_ - 1
    int used_ = 0;
    int width_ = 0, height_ = 0;
    std::size_t bytes_ = 0;
};
