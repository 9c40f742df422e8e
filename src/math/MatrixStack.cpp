#include "math/MatrixStack.h"

#include <cstring>

float* MatrixStack::push(const Matrix4& m) {
    if (depth_ >= kCapacity) return nullptr;
    float* entry = &entries_[depth_ * kEntryFloats];
    std::memcpy(entry, m.m, sizeof m.m);
    ++depth_;
    return entry;
}

Matrix4* MatrixStack::pop(Matrix4& m) {
    if (depth_ == 0) return nullptr;
    --depth_;
    std::memcpy(m.m, &entries_[depth_ * kEntryFloats], sizeof m.m);
    return &m;
}
