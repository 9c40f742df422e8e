#include "app/headless/Downsampler.h"

#include <cstdio>
#include <string>

#include "gl/GlEntryTable.h"
#include "gl/GlStateGuard.h"
#include "gl/InlineProgram.h"

namespace {

// One triangle covering the output; each fragment averages its block of the big picture.
const char* const kVertexShader = R"(#version 330
void main() {
    vec2 corner = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const kFragmentShader = R"(#version 330
uniform sampler2D big;
uniform int factor;
out vec4 colour;
vec3 toLinear(vec3 c) {
    return mix(c / 12.92, pow((c + 0.055) / 1.055, vec3(2.4)), step(vec3(0.04045), c));
}
vec3 toSrgb(vec3 c) {
    return mix(c * 12.92, 1.055 * pow(c, vec3(1.0 / 2.4)) - 0.055, step(vec3(0.0031308), c));
}
void main() {
    ivec2 base = ivec2(gl_FragCoord.xy) * factor;
    vec3 sum = vec3(0.0);
    for (int y = 0; y < factor; ++y)
        for (int x = 0; x < factor; ++x)
            sum += toLinear(texelFetch(big, base + ivec2(x, y), 0).rgb);
    colour = vec4(toSrgb(sum / float(factor * factor)), 1.0);
}
)";

GLuint colourTarget(int width, int height, GLuint& texture, GLint format) {
    gl.glGenTextures(1, &texture);
    gl.glBindTexture(GL_TEXTURE_2D, texture);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, format, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.glBindTexture(GL_TEXTURE_2D, 0);
    GLuint framebuffer = 0;
    gl.glGenFramebuffers(1, &framebuffer);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    return framebuffer;
}

}  // namespace

Downsampler::~Downsampler() {
    release();
}

bool Downsampler::create(int outputWidth, int outputHeight, int factor) {
    width_ = outputWidth;
    height_ = outputHeight;
    factor_ = factor;
    // The scenes draw into a float target of the render size, the largest thing the load phase
    // makes: a GL may hold the size but not the bytes (llvmpipe: 1 GiB a texture). Try it here.
    GLuint probeTexture = 0;
    const GLuint probe = colourTarget(width_ * factor, height_ * factor, probeTexture, GL_RGBA32F);
    bool complete = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.glDeleteFramebuffers(1, &probe);
    gl.glDeleteTextures(1, &probeTexture);

    bigFramebuffer_ = colourTarget(width_ * factor, height_ * factor, bigTexture_, GL_RGBA8);
    complete = complete && gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    outputFramebuffer_ = colourTarget(width_, height_, outputTexture_, GL_RGBA8);
    complete = complete && gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        std::printf("velmora-headless: this GL cannot hold a %dx%d picture for --supersample %d\n",
                    width_ * factor, height_ * factor, factor);
        return false;
    }

    std::string log;
    program_ = linkInlineProgram(kVertexShader, kFragmentShader, log);
    if (!program_) {
        std::printf("The supersampling filter does not build: %s\n", log.c_str());
        return false;
    }
    GLint previous = 0;
    gl.glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    gl.glUseProgram(program_);
    gl.glUniform1i(gl.glGetUniformLocation(program_, "big"), 0);
    gl.glUniform1i(gl.glGetUniformLocation(program_, "factor"), factor_);
    gl.glUseProgram(static_cast<GLuint>(previous));
    gl.glGenVertexArrays(1, &vertexArray_);
    return true;
}

void Downsampler::resolve() {
    // The scenes set what they need each frame, but the next frame's clear and the state the
    // load phase set up must find the GL as the demo left it.
    {
        const GlStateGuard guard;
        gl.glDisable(GL_DEPTH_TEST);
        gl.glDisable(GL_BLEND);
        gl.glDisable(GL_CULL_FACE);
        gl.glDisable(GL_SCISSOR_TEST);

        // The default framebuffer cannot be sampled: copy it into a texture first.
        const int bigWidth = width_ * factor_, bigHeight = height_ * factor_;
        gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, bigFramebuffer_);
        gl.glBlitFramebuffer(0, 0, bigWidth, bigHeight, 0, 0, bigWidth, bigHeight,
                             GL_COLOR_BUFFER_BIT, GL_NEAREST);

        gl.glBindFramebuffer(GL_FRAMEBUFFER, outputFramebuffer_);
        gl.glViewport(0, 0, width_, height_);
        gl.glUseProgram(program_);
        gl.glBindVertexArray(vertexArray_);
        gl.glBindTexture(GL_TEXTURE_2D, bigTexture_);
        gl.glDrawArrays(GL_TRIANGLES, 0, 3);
    }
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
}

void Downsampler::release() {
    if (program_) gl.glDeleteProgram(program_);
    if (vertexArray_) gl.glDeleteVertexArrays(1, &vertexArray_);
    for (GLuint* framebuffer : {&bigFramebuffer_, &outputFramebuffer_})
        if (*framebuffer) gl.glDeleteFramebuffers(1, framebuffer);
    for (GLuint* texture : {&bigTexture_, &outputTexture_})
        if (*texture) gl.glDeleteTextures(1, texture);
    program_ = vertexArray_ = bigFramebuffer_ = outputFramebuffer_ = bigTexture_ = outputTexture_ =
        0;
}
