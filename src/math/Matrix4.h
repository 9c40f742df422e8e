#pragma once

// 4x4 single-precision matrix, element (r, c) at m[4r + c]. Uploaded untransposed, so a shader
// that writes `matrix * v` applies it to v taken as a row vector.
struct Matrix4 {
    float m[16];
};

void identity(Matrix4& m);
// out = a * b; out must be a third matrix. The running sum is rounded to float after every step.
void multiply(Matrix4& out, const Matrix4& a, const Matrix4& b);
// m = T * m, with the offsets in row 3.
void translate(Matrix4& m, float x, float y, float z);
// m = S * m.
void scale(Matrix4& m, float x, float y, float z);
// m = Rz(angle*az) * Ry(angle*ay) * Rx(angle*ax) * m, each turn premultiplied in x, y, z order.
void rotate(Matrix4& m, float angle, float ax, float ay, float az);
// halfWidth: horizontal half-extent at distance 1; aspect: height / width.
void perspective(Matrix4& out, float halfWidth, float aspect, float nearZ, float farZ);
void lookAt(Matrix4& out, float eyeX, float eyeY, float eyeZ, float centerX, float centerY,
            float centerZ, float upX, float upY, float upZ);
