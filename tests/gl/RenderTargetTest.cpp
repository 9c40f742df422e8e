#include <memory>

#include "GlResourceTest.h"
#include "gl/GlEntryTable.h"
#include "gl/RenderTarget.h"
#include "gl/Texture2D.h"

namespace {

GLint attachedName(GLuint framebuffer, GLenum attachment) {
    GLint name = -1;
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return name;
}

GLint boundFramebuffer() {
    GLint bound = -1;
    gl.glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    return bound;
}

class RenderTargetTest : public GlResourceTest {};

TEST_F(RenderTargetTest, NewTargetHasOneEmptySlotPerDrawBuffer) {
    RenderTarget target;
    GLint drawBuffers = 0;
    gl.glGetIntegerv(GL_MAX_DRAW_BUFFERS, &drawBuffers);
    EXPECT_GE(drawBuffers, 2);
    EXPECT_EQ(target.slotCount, drawBuffers);
    ASSERT_EQ(target.slotTextures.size(), static_cast<std::size_t>(drawBuffers));
    ASSERT_EQ(target.drawBufferList.size(), static_cast<std::size_t>(drawBuffers));
    for (int i = 0; i < drawBuffers; ++i) {
        EXPECT_EQ(target.slotTextures[i], nullptr);
        EXPECT_EQ(target.drawBufferList[i], 0u);
    }
    EXPECT_NE(target.framebuffer, 0u);
}

TEST_F(RenderTargetTest, SlotsRecordColourAttachmentsOnlyAndNullDetaches) {
    std::unique_ptr<Texture2D> colour(Texture2D::createEmpty(32, 16, false));
    std::unique_ptr<Texture2D> depth(Texture2D::createEmpty(32, 16, true));
    RenderTarget target;
    target.attach(0, colour.get(), GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(boundFramebuffer(), 0);
    target.attach(1, depth.get(), GL_DEPTH_ATTACHMENT);
    EXPECT_EQ(boundFramebuffer(), 0);

    EXPECT_EQ(target.slotTextures[0], colour.get());
    EXPECT_EQ(target.drawBufferList[0], static_cast<GLenum>(GL_COLOR_ATTACHMENT0));
    EXPECT_EQ(target.slotTextures[1], depth.get());
    EXPECT_EQ(target.drawBufferList[1], 0u);
    EXPECT_EQ(attachedName(target.framebuffer, GL_COLOR_ATTACHMENT0),
              static_cast<GLint>(colour->id));
    EXPECT_EQ(attachedName(target.framebuffer, GL_DEPTH_ATTACHMENT), static_cast<GLint>(depth->id));

    // Completeness has to be tested with the target bound, not the default framebuffer.
    gl.glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    EXPECT_EQ(gl.glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);

    target.attach(0, nullptr, GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(target.slotTextures[0], nullptr);
    EXPECT_EQ(target.drawBufferList[0], 0u);
    EXPECT_EQ(attachedName(target.framebuffer, GL_COLOR_ATTACHMENT0), 0);
    EXPECT_EQ(boundFramebuffer(), 0);
}

TEST_F(RenderTargetTest, DestructionDeletesTheFramebuffer) {
    GLuint name = 0;
    {
        RenderTarget target;
        name = target.framebuffer;
        target.attach(0, nullptr, GL_COLOR_ATTACHMENT0);  // binding makes the name an object
        EXPECT_TRUE(gl.glIsFramebuffer(name));
    }
    EXPECT_FALSE(gl.glIsFramebuffer(name));
}

}  // namespace
