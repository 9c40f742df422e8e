#include "PcmHash.h"

#include <cstring>

uint64_t pcmHash(const StereoBuffer& audio) {
    uint64_t hash = 0xcbf29ce484222325ull;
    auto feed = [&hash](float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 4; ++i) {
            hash ^= (bits >> (8 * i)) & 0xffu;
            hash *= 0x100000001b3ull;
        }
    };
    for (size_t i = 0; i < audio.frames(); ++i) {
        feed(audio.left[i]);
        feed(audio.right[i]);
    }
    return hash;
}
