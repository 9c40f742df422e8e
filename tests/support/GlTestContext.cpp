#include "support/GlTestContext.h"

GlTestContext::GlTestContext(int width, int height) { ok_ = window_.create(width, height, false); }

GlTestContext::~GlTestContext() { window_.shutdown(); }
