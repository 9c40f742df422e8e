#include "TrackPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Font.h"
#include "Image.h"
#include "ImageFile.h"

namespace {

constexpr int kPanel = 480;
constexpr int kTitleHeight = 36;

struct Frame {
    double minA, minB, scale;  // model units to pixels, equal on both axes
    int left;
};

void dot(Image& img, double x, double y, const Rgba& c, int radius) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int px = static_cast<int>(std::lround(x)) + dx;
            const int py = static_cast<int>(std::lround(y)) + dy;
            if (px >= 0 && py >= 0 && px < img.width() && py < img.height()) img.at(px, py) = c;
        }
}

void line(Image& img, double x0, double y0, double x1, double y1, const Rgba& c) {
    const int steps = static_cast<int>(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
    for (int i = 0; i <= steps; ++i) {
        const double f = static_cast<double>(i) / steps;
        dot(img, x0 + (x1 - x0) * f, y0 + (y1 - y0) * f, c, 0);
    }
}

}  // namespace

bool writeTrackPlot(const std::string& path, const std::string& title,
                    const std::vector<EffectiveCamera>& samples) {
    // Axis pairs per panel: (horizontal, vertical, vertical grows downwards?)
    const int axes[3][2] = {{0, 2}, {0, 1}, {2, 1}};
    const bool downwards[3] = {true, false, false};
    const char* labels[3] = {"top: x right, z down", "front: x right, y up", "side: z right, y up"};

    double lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (const EffectiveCamera& s : samples)
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], s.eye[i]);
            hi[i] = std::max(hi[i], s.eye[i]);
        }
    double span = 10.0;
    for (int i = 0; i < 3; ++i) span = std::max(span, hi[i] - lo[i]);
    const double margin = 0.12 * span;
    const double tick = 0.08 * span;

    Image img(3 * kPanel, kPanel + kTitleHeight, rgb(250, 250, 248));
    Font font(fontPath("/usr/share/fonts/truetype/dejavu", "DejaVuSans.ttf"));
    Plane text(img.width(), img.height());
    TextStyle style;
    style.size = 16.0f;

    for (int p = 0; p < 3; ++p) {
        const int a = axes[p][0], b = axes[p][1];
        const double centreA = 0.5 * (lo[a] + hi[a]), centreB = 0.5 * (lo[b] + hi[b]);
        const double scalePx = (kPanel - 20) / (span + 2 * margin);
        auto toPx = [&](double u, double v, double& x, double& y) {
            x = p * kPanel + kPanel / 2 + (u - centreA) * scalePx;
            const double dv = (v - centreB) * scalePx;
            y = kTitleHeight + kPanel / 2 + (downwards[p] ? dv : -dv);
        };
        // Grid every 10 units, axes through the origin.
        const double first = std::floor((centreA - span) / 10.0) * 10.0;
        for (double g = first; g <= centreA + span; g += 10.0) {
            double x0, y0, x1, y1;
            toPx(g, centreB - span, x0, y0);
            toPx(g, centreB + span, x1, y1);
            line(img, x0, std::max(y0, 1.0 * kTitleHeight), x1, std::max(y1, 1.0 * kTitleHeight),
                 std::fabs(g) < 1e-9 ? rgb(150, 150, 150) : rgb(228, 228, 228));
        }
        const double firstB = std::floor((centreB - span) / 10.0) * 10.0;
        for (double g = firstB; g <= centreB + span; g += 10.0) {
            double x0, y0, x1, y1;
            toPx(centreA - span, g, x0, y0);
            toPx(centreA + span, g, x1, y1);
            if (y0 < kTitleHeight) continue;
            line(img, std::max(x0, p * kPanel + 0.0), y0, std::min(x1, (p + 1) * kPanel - 1.0), y1,
                 std::fabs(g) < 1e-9 ? rgb(150, 150, 150) : rgb(228, 228, 228));
        }
        const int every = std::max<int>(1, static_cast<int>(samples.size() / 40));
        for (size_t i = 0; i < samples.size(); ++i) {
            const EffectiveCamera& s = samples[i];
            if (!s.valid) continue;
            const float f = samples.size() > 1 ? static_cast<float>(i) / (samples.size() - 1) : 0;
            const Rgba colour = mix(rgb(30, 80, 220), rgb(240, 130, 20), f);
            double x, y, tx, ty;
            toPx(s.eye[a], s.eye[b], x, y);
            if (i % every == 0) {
                toPx(s.eye[a] + tick * s.forward[a], s.eye[b] + tick * s.forward[b], tx, ty);
                line(img, x, y, tx, ty, rgb(200, 40, 40));
            }
            dot(img, x, y, colour, 1);
        }
        // The panel's own frame and its label.
        line(img, p * kPanel, kTitleHeight, p * kPanel, kTitleHeight + kPanel - 1, rgb(0, 0, 0));
        if (font.ok()) font.draw(text, labels[p], style, p * kPanel + 8.0f, kTitleHeight + 20.0f);
    }
    if (font.ok()) font.draw(text, title, style, 8.0f, 24.0f);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.paint(x, y, rgb(0, 0, 0), text.at(x, y));
    return writePng(path, img.width(), img.height(), img.toRgba8());
}
