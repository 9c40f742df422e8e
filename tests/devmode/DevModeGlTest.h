#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/GlTestContext.h"

// One 640 x 360 context (the smallest size the overlay is made for) for the whole process.
class DevModeGlTest : public ::testing::Test {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 360;

protected:
    static void SetUpTestSuite() {
        static GlTestContext* context = new GlTestContext(kWidth, kHeight);
        ASSERT_TRUE(context->ok());
    }

    static void beginCapture() { ::testing::internal::CaptureStdout(); }
    static std::string endCapture() {
        std::fflush(stdout);
        return ::testing::internal::GetCapturedStdout();
    }
};
