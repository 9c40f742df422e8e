#pragma once

#include <cstddef>

#include "StereoBuffer.h"

// Programme loudness in LUFS: K-weighting (a high shelf for the head, a high-pass for the low
// end), mean square per 400 ms block with 75 % overlap, absolute gate at -70 LUFS and relative
// gate 10 LU below the ungated level.
class LoudnessMeter {
public:
    explicit LoudnessMeter(const StereoBuffer& audio);

    double integrated() const;

    // Ungated K-weighted loudness of frames [begin, end), for comparing sections.
    double range(size_t begin, size_t end) const;

private:
    StereoBuffer weighted_;
};
