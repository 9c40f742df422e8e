#pragma once
#include <cstdint>
#include <vector>

#include "gl/GlHeaders.h"

// A vertex array with one tightly packed float buffer per attribute index and an optional 32-bit
// index buffer. Every draw is GL_TRIANGLES; the caller passes the count.
class GeometryBuffer {
public:
    GeometryBuffer();
    ~GeometryBuffer();
    GeometryBuffer(const GeometryBuffer&) = delete;
    GeometryBuffer& operator=(const GeometryBuffer&) = delete;

    // count 0 disables the attribute (its buffer keeps its old contents).
    void setAttribute(int index, int components, int count, const float* data);
    // count 0 drops an existing index buffer; the buffer is then drawn with glDrawArrays.
    void setIndices(std::uint32_t count, const std::uint32_t* data);
    void draw(int count, int first = 0) const;

    int attributeSlots = 0;
    int indexed = 0;
    GLuint vertexArray = 0;
    std::vector<GLuint> attributeBuffers;
    GLuint indexBuffer = 0;
};
