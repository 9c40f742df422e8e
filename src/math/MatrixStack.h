#pragma once
#include <vector>

#include "math/Matrix4.h"

// Fixed-capacity stack of matrices that scenes use to save and restore a view around nested
// transforms. Overflow and underflow are reported only by a null result.
class MatrixStack {
public:
    static constexpr int kCapacity = 512;
    static constexpr int kEntryFloats = 16;

    MatrixStack() : entries_(kCapacity * kEntryFloats) {}

    // Copies m onto the stack; returns the stored copy, or null when the stack is full.
    float* push(const Matrix4& m);
    // Copies the top into m and removes it; returns &m, or null (m untouched) when empty.
    Matrix4* pop(Matrix4& m);
    int depth() const { return depth_; }

private:
    std::vector<float> entries_;
    int depth_ = 0;
};
