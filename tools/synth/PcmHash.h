#pragma once

#include <cstdint>

#include "StereoBuffer.h"

// 64-bit FNV-1a over the exact float bits of both channels, interleaved: any change to any
// sample changes the hash.
uint64_t pcmHash(const StereoBuffer& audio);
