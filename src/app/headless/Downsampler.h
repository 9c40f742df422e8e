#pragma once
#include "gl/GlHeaders.h"

// Supersampling's last step: the frame drawn into the default framebuffer at `factor` times the
// output size is filtered down to the output size in the GL. Each output pixel is the mean of its
// factor x factor block, averaged in linear light (sRGB decoded, averaged, encoded again), so an
// edge half over a bright and half over a dark area gets the brightness the eye expects.
class Downsampler {
public:
    Downsampler() = default;
    ~Downsampler();
    Downsampler(const Downsampler&) = delete;
    Downsampler& operator=(const Downsampler&) = delete;

    // With the context current. False after a line when the GL lacks something.
    bool create(int outputWidth, int outputHeight, int factor);
    // Filters the default framebuffer's picture down and leaves the result bound as the read
    // framebuffer (the draw framebuffer is 0 again); every other state it touches is restored.
    void resolve();
    void release();

private:
    int width_ = 0, height_ = 0, factor_ = 1;
    GLuint bigTexture_ = 0, bigFramebuffer_ = 0;
    GLuint outputTexture_ = 0, outputFramebuffer_ = 0;
    GLuint program_ = 0, vertexArray_ = 0;
};
