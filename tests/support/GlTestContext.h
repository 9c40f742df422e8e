#pragma once
#include "app/DemoWindow.h"

// A headless 3.3 core context (EGL pbuffer, llvmpipe here) made current with the GL entry table
// filled. One per test process: create it in a fixture's SetUpTestSuite or at the top of a test.
class GlTestContext {
public:
    explicit GlTestContext(int width = 64, int height = 64);
    ~GlTestContext();
    bool ok() const { return ok_; }
    DemoWindow& window() { return window_; }

private:
    DemoWindow window_;
    bool ok_ = false;
};
