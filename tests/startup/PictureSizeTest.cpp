#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/PictureSize.h"
#include "gl/GlEntryTable.h"
#include "support/GlTestContext.h"
#include "support/ProgramRun.h"

namespace {

GLint integer(GLenum name) {
    GLint value = 0;
    gl.glGetIntegerv(name, &value);
    return value;
}

TEST(PictureSize, SizesWithinTheLimitsPassAndEachLimitIsNamed) {
    GlTestContext context(16, 16);
    ASSERT_TRUE(context.ok());
    EXPECT_EQ(pictureSizeProblem(1920, 1080), "");
    EXPECT_EQ(pictureSizeProblem(64, 64), "");

    GLint viewport[2] = {};
    gl.glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const GLint renderbuffer = integer(GL_MAX_RENDERBUFFER_SIZE);
    const GLint texture = integer(GL_MAX_TEXTURE_SIZE);
    const std::string tooWide = pictureSizeProblem(viewport[0] + 1, 16);
    EXPECT_EQ(tooWide.rfind("Cannot draw at " + std::to_string(viewport[0] + 1) + "x16: ", 0), 0u)
        << tooWide;
    EXPECT_NE(tooWide.find("GL_MAX_VIEWPORT_DIMS"), std::string::npos) << tooWide;
    if (renderbuffer < viewport[1]) {
        EXPECT_NE(pictureSizeProblem(16, renderbuffer + 1).find("GL_MAX_RENDERBUFFER_SIZE"),
                  std::string::npos);
    }
    if (texture < viewport[1] && texture < renderbuffer) {
        EXPECT_NE(pictureSizeProblem(16, texture + 1).find("GL_MAX_TEXTURE_SIZE"),
                  std::string::npos);
    }
    // Within every stated limit, but four bytes of floats a channel: llvmpipe cannot hold it.
    const GLint side = std::min({viewport[0], viewport[1], renderbuffer, texture});
    const std::string large = pictureSizeProblem(side, side);
    if (large.empty()) GTEST_SKIP() << "this GL holds a " << side << " x " << side << " picture";
    EXPECT_NE(large.find("cannot hold"), std::string::npos) << large;
    EXPECT_EQ(large.find('\n'), std::string::npos) << large;
}

// The runner used to start the load phase and abort in the render target's framebuffer check.
TEST(PictureSizeRunner, ASizeTheGlCannotDrawAtIsOneLineAndExitCode1) {
    const std::string folder = testing::TempDir() + "velmora_size_" + std::to_string(getpid());
    const ProgramRun run =
        runProgram(VELMORA_HEADLESS, "--size 16384x16384 --times 1 --png " + folder);
    if (run.exitCode == 0) GTEST_SKIP() << "this GL draws at 16384x16384";
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_FALSE(std::filesystem::exists(folder)) << "nothing is written";
    EXPECT_EQ(run.output.rfind("Cannot draw at 16384x16384: ", 0), 0u) << run.output;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line: " << run.output;
}

}  // namespace
