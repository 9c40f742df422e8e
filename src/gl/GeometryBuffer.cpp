#include "gl/GeometryBuffer.h"

#include <cstdint>

#include "gl/GlEntryTable.h"

GeometryBuffer::GeometryBuffer() {
    gl.glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &attributeSlots);
    attributeBuffers.assign(attributeSlots, 0);
    gl.glGenVertexArrays(1, &vertexArray);
    gl.glGenBuffers(attributeSlots, attributeBuffers.data());
}

GeometryBuffer::~GeometryBuffer() {
    if (indexed) gl.glDeleteBuffers(1, &indexBuffer);
    gl.glDeleteBuffers(attributeSlots, attributeBuffers.data());
    gl.glDeleteVertexArrays(1, &vertexArray);
}

void GeometryBuffer::setAttribute(int index, int components, int count, const float* data) {
    gl.glBindVertexArray(vertexArray);
    if (count == 0) {
        gl.glDisableVertexAttribArray(index);
    } else {
        gl.glEnableVertexAttribArray(index);
        gl.glBindBuffer(GL_ARRAY_BUFFER, attributeBuffers[index]);
        gl.glBufferData(GL_ARRAY_BUFFER,
                        static_cast<GLsizeiptr>(count) * components * sizeof(float), data,
                        GL_STATIC_DRAW);
        gl.glVertexAttribPointer(index, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    gl.glBindVertexArray(0);
}

void GeometryBuffer::setIndices(std::uint32_t count, const std::uint32_t* data) {
    gl.glBindVertexArray(vertexArray);
    if (count == 0) {
        // Without an index buffer a zero count leaves the buffer non-indexed, as after a drop.
        if (indexed) {
            indexed = 0;
            gl.glDeleteBuffers(1, &indexBuffer);
        }
        gl.glBindVertexArray(0);
        return;
    }
    if (!indexed) {
        gl.glGenBuffers(1, &indexBuffer);
        indexed = 1;
    }
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * sizeof(std::uint32_t),
                    data, GL_STATIC_DRAW);
    gl.glBindVertexArray(0);
}

void GeometryBuffer::draw(int count, int first) const {
    gl.glBindVertexArray(vertexArray);
    if (indexed) {
        const auto offset = static_cast<std::uintptr_t>(first) * sizeof(GLuint);
        gl.glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT,
                          reinterpret_cast<const void*>(offset));
    } else {
        gl.glDrawArrays(GL_TRIANGLES, first, count);
    }
    gl.glBindVertexArray(0);
}
