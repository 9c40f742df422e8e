#include <set>
#include <vector>

#include "GlResourceTest.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/ShaderProgram.h"

namespace {

// Records which draw call the buffer issues while the driver still runs it.
struct DrawLog {
    static inline int arrays = 0;
    static inline int elements = 0;
    static inline GLsizei lastCount = 0;
    static inline decltype(gl.glDrawArrays) realArrays = nullptr;
    static inline decltype(gl.glDrawElements) realElements = nullptr;

    static void APIENTRY drawArrays(GLenum mode, GLint first, GLsizei count) {
        ++arrays;
        lastCount = count;
        realArrays(mode, first, count);
    }
    static void APIENTRY drawElements(GLenum mode, GLsizei count, GLenum type, const void* at) {
        ++elements;
        lastCount = count;
        realElements(mode, count, type, at);
    }
};

class GeometryBufferTest : public GlResourceTest {
protected:
    void SetUp() override {
        DrawLog::arrays = DrawLog::elements = DrawLog::lastCount = 0;
        DrawLog::realArrays = gl.glDrawArrays;
        DrawLog::realElements = gl.glDrawElements;
        gl.glDrawArrays = DrawLog::drawArrays;
        gl.glDrawElements = DrawLog::drawElements;
    }
    void TearDown() override {
        gl.glDrawArrays = DrawLog::realArrays;
        gl.glDrawElements = DrawLog::realElements;
    }
};

GLint attributeState(const GeometryBuffer& buffer, int index, GLenum name) {
    GLint value = -1;
    gl.glBindVertexArray(buffer.vertexArray);
    gl.glGetVertexAttribiv(index, name, &value);
    gl.glBindVertexArray(0);
    return value;
}

std::vector<float> bufferContents(GLuint name, std::size_t floats) {
    std::vector<float> data(floats);
    gl.glBindBuffer(GL_ARRAY_BUFFER, name);
    gl.glGetBufferSubData(GL_ARRAY_BUFFER, 0, floats * sizeof(float), data.data());
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    return data;
}

TEST_F(GeometryBufferTest, NewBufferHasOneArrayBufferPerAttributeSlot) {
    GeometryBuffer buffer;
    GLint slots = 0;
    gl.glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &slots);
    EXPECT_EQ(buffer.attributeSlots, slots);
    EXPECT_EQ(buffer.indexed, 0);
    EXPECT_NE(buffer.vertexArray, 0u);
    std::set<GLuint> names(buffer.attributeBuffers.begin(), buffer.attributeBuffers.end());
    EXPECT_EQ(names.size(), static_cast<std::size_t>(slots));
    EXPECT_EQ(names.count(0), 0u);
    for (int i = 0; i < slots; ++i)
        EXPECT_EQ(attributeState(buffer, i, GL_VERTEX_ATTRIB_ARRAY_ENABLED), 0);
}

TEST_F(GeometryBufferTest, ZeroCountDisablesTheAttributeAndKeepsItsContents) {
    GeometryBuffer buffer;
    const std::vector<float> positions = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    buffer.setAttribute(1, 3, 3, positions.data());
    EXPECT_EQ(attributeState(buffer, 1, GL_VERTEX_ATTRIB_ARRAY_ENABLED), 1);
    EXPECT_EQ(attributeState(buffer, 1, GL_VERTEX_ATTRIB_ARRAY_SIZE), 3);
    EXPECT_EQ(attributeState(buffer, 1, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING),
              static_cast<GLint>(buffer.attributeBuffers[1]));
    GLint boundArray = -1;
    gl.glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &boundArray);
    EXPECT_EQ(boundArray, 0);

    buffer.setAttribute(1, 3, 0, nullptr);
    EXPECT_EQ(attributeState(buffer, 1, GL_VERTEX_ATTRIB_ARRAY_ENABLED), 0);
    EXPECT_EQ(bufferContents(buffer.attributeBuffers[1], positions.size()), positions);
}

TEST_F(GeometryBufferTest, IndexBufferDecidesTheDrawCallAndZeroCountDropsIt) {
    GeometryBuffer buffer;
    // Zero indices on a buffer that has none leave it non-indexed.
    buffer.setIndices(0, nullptr);
    EXPECT_EQ(buffer.indexed, 0);
    buffer.draw(3);
    EXPECT_EQ(DrawLog::arrays, 1);

    const std::uint32_t indices[] = {0, 1, 2};
    buffer.setIndices(3, indices);
    EXPECT_EQ(buffer.indexed, 1);
    GLuint indexBuffer = buffer.indexBuffer;
    EXPECT_TRUE(gl.glIsBuffer(indexBuffer));
    buffer.draw(0);  // indexed whatever the count
    EXPECT_EQ(DrawLog::elements, 1);
    EXPECT_EQ(DrawLog::lastCount, 0);

    buffer.setIndices(0, nullptr);
    EXPECT_EQ(buffer.indexed, 0);
    EXPECT_FALSE(gl.glIsBuffer(indexBuffer));
    buffer.draw(6);
    EXPECT_EQ(DrawLog::arrays, 2);
    EXPECT_EQ(DrawLog::elements, 1);
    EXPECT_EQ(DrawLog::lastCount, 6);
}

TEST_F(GeometryBufferTest, QuadCoversTheSquareFromZeroToOne) {
    std::string path = writeFile("quad.shader",
                                 "#ifdef vertexcompile\n"
                                 "layout(location = 0) in vec2 corner;\n"
                                 "void main() { gl_Position = vec4(corner, 0.0, 1.0); }\n"
                                 "#endif\n"
                                 "#ifdef fragmentcompile\n"
                                 "out vec4 color;\n"
                                 "void main() { color = vec4(1.0); }\n"
                                 "#endif\n");
    beginCapture();
    ShaderProgram shader(path);
    endCapture();
    GeometryBuffer quad;
    const float corners[] = {0, 0, 1, 0, 1, 1, 0, 1};
    const std::uint32_t indices[] = {0, 1, 2, 2, 3, 0};
    quad.setAttribute(0, 2, 4, corners);
    quad.setIndices(6, indices);

    gl.glViewport(0, 0, 64, 64);
    gl.glDisable(GL_DEPTH_TEST);
    gl.glClearColor(0, 0, 0, 1);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    shader.use();
    quad.draw(6);
    gl.glUseProgram(0);
    std::vector<std::uint8_t> pixels(64 * 64 * 4);
    gl.glReadPixels(0, 0, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int covered = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            bool lit = pixels[(y * 64 + x) * 4] == 255;
            EXPECT_EQ(lit, x >= 32 && y >= 32) << x << "," << y;
            covered += lit;
        }
    }
    EXPECT_EQ(covered, 32 * 32);
}

}  // namespace
