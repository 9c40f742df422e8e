#pragma once

struct Float3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    void set(float nx, float ny, float nz) {
        x = nx;
        y = ny;
        z = nz;
    }
};
