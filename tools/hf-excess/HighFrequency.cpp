#include "HighFrequency.h"

#include <cmath>
#include <vector>

double highFrequency(const Picture& picture) {
    const int w = picture.width, h = picture.height;
    if (w < 3 || h < 3) return 0.0;
    std::vector<double> luma(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < luma.size(); ++i) {
        const uint8_t* p = &picture.rgba[4 * i];
        luma[i] = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    }
    double total = 0.0;
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            const double around = luma[i - 1] + luma[i + 1] + luma[i - w] + luma[i + w];
            total += std::fabs(luma[i] - 0.25 * around);
        }
    return total / (static_cast<double>(w - 2) * (h - 2));
}
