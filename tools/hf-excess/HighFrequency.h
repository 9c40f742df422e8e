#pragma once

#include "ImageFile.h"

// How much fine detail a picture carries: the mean absolute 4-neighbour Laplacian of its
// luminance (0..255), over every pixel but the border. A picture rendered plainly carries more
// of it than the same picture filtered from 4x4 samples; the difference is detail the shading put
// above the pixel rate, which sparkles or crawls in motion.
double highFrequency(const Picture& picture);
