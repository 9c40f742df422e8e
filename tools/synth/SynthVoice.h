#pragma once

#include <cstdint>

#include "Automation.h"
#include "NoteEvent.h"
#include "Patch.h"
#include "StereoBuffer.h"

// Renders one note of a subtractive patch into a track. `brightness` scales the filter cutoff
// over the song (bar-indexed); `firstSample` is the song sample at which `out` begins.
void renderSynthNote(const Patch& patch, const NoteEvent& note, const Automation& brightness,
                     int64_t firstSample, uint32_t seed, StereoBuffer& out);
