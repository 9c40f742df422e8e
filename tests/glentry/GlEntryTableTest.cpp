#include "gl/GlEntryTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/GlTestContext.h"

namespace {

std::vector<std::string> tableNames() {
    std::vector<std::string> names;
#define GL_ENTRY(ret, name, params) names.push_back(#name);
#include "gl/GlEntryList.inc"
#undef GL_ENTRY
    return names;
}

}  // namespace

TEST(GlEntryTable, HoldsThe381EntryPointsInTableOrder) {
    const std::vector<std::string> names = tableNames();
    ASSERT_EQ(names.size(), 381u);
    EXPECT_EQ(names.front(), "glActiveTexture");
    EXPECT_EQ(names[46], "glBlendFuncSeparate");      // 1.4 follows the 46 of 1.3
    EXPECT_EQ(names[46 + 44], "glWindowPos3sv");      // and ends with the window positions
    EXPECT_EQ(names[46 + 45 + 19], "glBlendEquationSeparate");  // 2.0
    EXPECT_EQ(names.back(), "glVertexAttribP4uiv");
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t j = i + 1; j < names.size(); ++j) ASSERT_NE(names[i], names[j]);
}

TEST(GlEntryTable, SlotsAreNullUntilResolvedThenTheCalledOnesAreSet) {
    // A fresh table: nothing resolved yet.
    GlEntryTable fresh;
#define GL_ENTRY(ret, name, params) EXPECT_EQ(fresh.name, nullptr) << #name;
#include "gl/GlEntryList.inc"
#undef GL_ENTRY
    EXPECT_EQ(fresh.glClear, nullptr);

    GlTestContext context;
    ASSERT_TRUE(context.ok());
    for (const char* name : kGlEntriesCalled) {
        void** slot = glEntrySlot(name);
        ASSERT_NE(slot, nullptr) << name;
        EXPECT_NE(*slot, nullptr) << name;
    }
    EXPECT_EQ(firstMissingGlEntry(), nullptr);
    EXPECT_NE(gl.glClear, nullptr);
    EXPECT_EQ(glEntrySlot("glNotAFunction"), nullptr);
}

namespace {
int clearsSeen = 0;
void(APIENTRY* realClearColor)(GLfloat, GLfloat, GLfloat, GLfloat) = nullptr;
void APIENTRY recordClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    ++clearsSeen;
    realClearColor(r, g, b, a);
}
}  // namespace

TEST(GlEntryTable, ASlotCanBeWrappedAndStillReachesTheDriver) {
    GlTestContext context;
    ASSERT_TRUE(context.ok());
    realClearColor = gl.glClearColor;
    gl.glClearColor = recordClearColor;
    gl.glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    gl.glClearColor = realClearColor;

    GLfloat colour[4] = {};
    gl.glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    EXPECT_EQ(clearsSeen, 1);
    EXPECT_EQ(colour[1], 0.5f);
}
