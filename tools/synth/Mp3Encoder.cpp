#include "Mp3Encoder.h"

#include <lame/lame.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "Timeline.h"

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

constexpr int kChunkFrames = 8192;

}  // namespace

Mp3Encoder::Mp3Encoder(int kilobitsPerSecond, std::string title, std::string artist)
    : kilobitsPerSecond_(kilobitsPerSecond), title_(std::move(title)), artist_(std::move(artist)) {}

bool Mp3Encoder::write(const StereoBuffer& audio, const std::string& path,
                       std::string& error) const {
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame) {
        error = "cannot start the MP3 encoder";
        return false;
    }
    lame_global_flags* gf = lame.get();
    lame_set_in_samplerate(gf, timeline::kSampleRate);
    lame_set_out_samplerate(gf, timeline::kSampleRate);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_VBR(gf, vbr_off);
    lame_set_brate(gf, kilobitsPerSecond_);
    lame_set_quality(gf, 2);
    // The info frame carries the encoder delay and padding that gapless decoders trim.
    lame_set_bWriteVbrTag(gf, 1);
    lame_set_write_id3tag_automatic(gf, 0);
    id3tag_init(gf);
    id3tag_add_v2(gf);
    id3tag_set_title(gf, title_.c_str());
    id3tag_set_artist(gf, artist_.c_str());
    if (lame_init_params(gf) < 0) {
        error = "the MP3 encoder rejected its settings";
        return false;
    }

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "cannot open " + path + " for writing";
        return false;
    }
    bool ok = true;
    auto put = [&](const unsigned char* data, size_t size) {
        if (size > 0 && std::fwrite(data, 1, size, file.get()) != size) ok = false;
    };

    std::vector<unsigned char> tag(lame_get_id3v2_tag(gf, nullptr, 0));
    put(tag.data(), lame_get_id3v2_tag(gf, tag.data(), tag.size()));
    const long infoFrameOffset = std::ftell(file.get());

    std::vector<unsigned char> mp3(static_cast<size_t>(1.25 * kChunkFrames) + 7200);
    const size_t frames = audio.frames();
    for (size_t pos = 0; pos < frames && ok; pos += kChunkFrames) {
        const int count = static_cast<int>(std::min<size_t>(kChunkFrames, frames - pos));
        const int bytes =
            lame_encode_buffer_ieee_float(gf, audio.left.data() + pos, audio.right.data() + pos,
                                          count, mp3.data(), static_cast<int>(mp3.size()));
        if (bytes < 0) {
            error = "the MP3 encoder failed (code " + std::to_string(bytes) + ")";
            return false;
        }
        put(mp3.data(), static_cast<size_t>(bytes));
    }
    const int tail = lame_encode_flush(gf, mp3.data(), static_cast<int>(mp3.size()));
    if (tail < 0) {
        error = "the MP3 encoder failed to flush";
        return false;
    }
    put(mp3.data(), static_cast<size_t>(tail));

    unsigned char info[4096];
    const size_t infoSize = lame_get_lametag_frame(gf, info, sizeof info);
    if (infoSize > 0 && infoSize <= sizeof info) {
        if (std::fseek(file.get(), infoFrameOffset, SEEK_SET) != 0) ok = false;
        put(info, infoSize);
    }
    if (!ok || std::fflush(file.get()) != 0) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
