#pragma once

#include <string>

#include "ImageFile.h"

// How far two renderings of the same frame disagree, over the colour channels only (the alpha a
// driver leaves in the framebuffer is never shown).
struct FrameDifference {
    double meanAbsolute = 0.0;  // mean over every pixel and channel, 0..255
    double shareOff = 0.0;      // share of pixels with a channel off by more than kFarOff, 0..1
    int largest = 0;            // largest channel difference, 0..255

    static constexpr int kFarOff = 32;

    // False (with `error` set) when the pictures differ in size or are empty.
    static bool measure(const Picture& a, const Picture& b, FrameDifference& out,
                        std::string& error);
    // Where the pictures disagree: each pixel's largest channel difference as grey, brightened
    // eightfold so small differences show, and red where a pixel is off by more than kFarOff.
    static Picture map(const Picture& a, const Picture& b);
};
