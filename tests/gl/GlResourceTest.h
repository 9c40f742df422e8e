#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/GlTestContext.h"

// One real context for the whole process, made in the first suite that needs it.
class GlResourceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static GlTestContext* context = new GlTestContext(64, 64);
        ASSERT_TRUE(context->ok());
    }

    // A fresh path in the test's temporary directory.
    static std::string tempPath(const std::string& name) {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        return ::testing::TempDir() + "velmora_" + info->name() + "_" + name;
    }

    static std::string writeFile(const std::string& name, const std::string& bytes) {
        std::string path = tempPath(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static void beginCapture() { ::testing::internal::CaptureStdout(); }
    static std::string endCapture() {
        std::fflush(stdout);
        return ::testing::internal::GetCapturedStdout();
    }
};
