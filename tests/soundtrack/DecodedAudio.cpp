#include "DecodedAudio.h"

#include <mpg123.h>

#include <memory>

namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* h) const {
        mpg123_close(h);
        mpg123_delete(h);
    }
};

std::string text(const mpg123_string* s) {
    return s && s->p ? std::string(s->p) : std::string();
}

}  // namespace

bool DecodedAudio::decode(const std::string& path, std::string& error) {
    int err = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleDeleter> handle(mpg123_new(nullptr, &err));
    if (!handle) {
        error = "mpg123_new failed";
        return false;
    }
    mpg123_handle* mh = handle.get();
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    // Float output at whatever rate and channel count the file has.
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(mh, path.c_str()) != MPG123_OK) {
        error = "cannot open " + path + ": " + mpg123_strerror(mh);
        return false;
    }
    long nativeRate = 0;
    int nativeChannels = 0, encoding = 0;
    if (mpg123_getformat(mh, &nativeRate, &nativeChannels, &encoding) != MPG123_OK ||
        encoding != MPG123_ENC_FLOAT_32) {
        error = "no float audio format for " + path;
        return false;
    }
    rate = nativeRate;
    channels = nativeChannels;
    left.clear();
    right.clear();

    std::vector<float> buffer(16384);
    for (;;) {
        size_t bytes = 0;
        const int rc = mpg123_read(mh, reinterpret_cast<unsigned char*>(buffer.data()),
                                   buffer.size() * sizeof(float), &bytes);
        const size_t count = bytes / sizeof(float);
        for (size_t i = 0; i + channels - 1 < count; i += channels) {
            left.push_back(buffer[i]);
            right.push_back(buffer[i + channels - 1]);
        }
        if (rc == MPG123_DONE) break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            error = std::string("decoding failed: ") + mpg123_strerror(mh);
            return false;
        }
    }
    mpg123_id3v1* v1 = nullptr;
    mpg123_id3v2* v2 = nullptr;
    if (mpg123_id3(mh, &v1, &v2) == MPG123_OK && v2) {
        title = text(v2->title);
        artist = text(v2->artist);
    }
    return true;
}
