#pragma once
#include "support/GlTestContext.h"

// The process's one real context, shared by every test here that uploads.
inline bool sharedGlContext() {
    static GlTestContext* context = new GlTestContext();
    return context->ok();
}
