#include "math/MatrixStack.h"

#include <gtest/gtest.h>

TEST(MatrixStack, PushPopCopiesAndReportsOverflowAndUnderflow) {
    MatrixStack stack;
    Matrix4 m{};
    for (int i = 0; i < 16; ++i) m.m[i] = static_cast<float>(i) + 0.5f;

    Matrix4 untouched{};
    untouched.m[3] = 42.0f;
    EXPECT_EQ(stack.pop(untouched), nullptr);
    EXPECT_EQ(untouched.m[3], 42.0f);

    for (int i = 0; i < MatrixStack::kCapacity; ++i) ASSERT_NE(stack.push(m), nullptr) << i;
    EXPECT_EQ(stack.push(m), nullptr);
    EXPECT_EQ(stack.depth(), 512);

    Matrix4 out{};
    EXPECT_EQ(stack.pop(out), &out);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(out.m[i], m.m[i]);
    EXPECT_EQ(stack.depth(), 511);
}
