#pragma once
#include <cstddef>
#include <cstdint>

#include "gl/GlHeaders.h"

// Reads frames back through a small ring of pixel-pack buffers: the read of frame n is only
// queued, and its pixels are mapped once later frames have been queued behind it, so the GL can
// finish and copy frame n while the next one renders instead of stalling the loop at every frame.
class PixelReadback {
public:
    static constexpr int kSlots = 3;

    PixelReadback() = default;
    ~PixelReadback();
    PixelReadback(const PixelReadback&) = delete;
    PixelReadback& operator=(const PixelReadback&) = delete;

    // With the context current: buffers for width x height RGBA pixels. False after a line.
    bool create(int width, int height);
    // Queues the read of the bound read framebuffer as frame `tag`.
    void queue(long tag);
    // Whether every slot holds a queued frame, so the oldest must be taken before the next queue.
    bool full() const { return pending_ == kSlots; }
    bool empty() const { return pending_ == 0; }
    // Maps the oldest queued frame (rows bottom first), hands it to `take(tag, pixels)` and
    // releases its slot. False, after a line, when the buffer cannot be mapped.
    template <class Take>
    bool takeOldest(Take&& take) {
        const int slot = (next_ + kSlots - pending_) % kSlots;
        const std::uint8_t* pixels = map(slot);
        if (!pixels) return false;
        take(tags_[slot], pixels);
        unmap();
        --pending_;
        return true;
    }
    void release();

private:
    const std::uint8_t* map(int slot);
    void unmap();

    GLuint buffers_[kSlots] = {};
    long tags_[kSlots] = {};
    int next_ = 0;
    int pending_ = 0;
    int width_ = 0, height_ = 0;
    std::size_t bytes_ = 0;
};
