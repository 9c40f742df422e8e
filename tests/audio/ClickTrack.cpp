#include "ClickTrack.h"

#include <lame/lame.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

bool writeMp3(const std::string& path, const std::vector<float>& left, int rate, int channels) {
    const long frames = static_cast<long>(left.size());
    std::FILE* file = std::fopen(path.c_str(), "wb+");
    if (!file) return false;
    lame_global_flags* lame = lame_init();
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, channels);
    lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, 128);
    lame_set_bWriteVbrTag(lame, 1);  // the header that carries encoder delay and padding
    bool ok = lame_init_params(lame) >= 0;

    std::vector<unsigned char> mp3(static_cast<size_t>(1.25 * frames) + 7200 * 2);
    int bytes =
        ok ? lame_encode_buffer_ieee_float(lame, left.data(), left.data(), static_cast<int>(frames),
                                           mp3.data(), static_cast<int>(mp3.size()))
           : -1;
    ok = ok && bytes >= 0 && std::fwrite(mp3.data(), 1, bytes, file) == static_cast<size_t>(bytes);
    bytes = ok ? lame_encode_flush(lame, mp3.data(), static_cast<int>(mp3.size())) : -1;
    ok = ok && bytes >= 0 && std::fwrite(mp3.data(), 1, bytes, file) == static_cast<size_t>(bytes);
    if (ok) lame_mp3_tags_fid(lame, file);
    lame_close(lame);
    return std::fclose(file) == 0 && ok;
}

}  // namespace

bool writeClickTrack(const std::string& path, double seconds, int rate, int channels,
                     double interval) {
    const long frames = std::lround(seconds * rate);
    const long every = std::lround(interval * rate);
    const long clickFrames = rate / 100;
    std::vector<float> left(frames, 0.0f);
    for (long start = 0; start < frames; start += every)
        for (long i = 0; i < clickFrames && start + i < frames; ++i)
            left[start + i] = 0.8f * static_cast<float>(std::sin(2.0 * M_PI * 1000.0 * i / rate));
    return writeMp3(path, left, rate, channels);
}

bool writeToneTrack(const std::string& path, double seconds, int rate, int channels,
                    double frequency) {
    std::vector<float> left(static_cast<size_t>(std::lround(seconds * rate)));
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * frequency * i / rate));
    return writeMp3(path, left, rate, channels);
}
