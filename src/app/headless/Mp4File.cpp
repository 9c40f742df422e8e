#include "app/headless/Mp4File.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

bool endsWith(const std::string& text, const char* end) {
    const std::size_t n = std::strlen(end);
    return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

std::uint64_t bigEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

bool completeMp4(const std::string& path, std::string& why) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    std::fseek(file, 0, SEEK_END);
    const long long size = std::ftell(file);
    const bool boxes = endsWith(path, ".mp4") || endsWith(path, ".m4v") || endsWith(path, ".mov");
    long long at = 0;
    bool index = false;
    why.clear();
    while (boxes && at < size && why.empty()) {
        unsigned char header[16] = {};
        std::fseek(file, static_cast<long>(at), SEEK_SET);
        if (std::fread(header, 1, 8, file) != 8) {
            why = "it ends inside a box header";
            break;
        }
        std::uint64_t length = bigEndian(header, 4);
        if (length == 1 && std::fread(header + 8, 1, 8, file) == 8)
            length = bigEndian(header + 8, 8);
        if (length == 0) length = static_cast<std::uint64_t>(size - at);  // to the end
        if (at == 0 && std::memcmp(header + 4, "ftyp", 4) != 0) why = "it does not start as MP4";
        if (length < 8 || length > static_cast<std::uint64_t>(size - at))
            why = "it ends inside a box";
        index = index || std::memcmp(header + 4, "moov", 4) == 0;
        at += static_cast<long long>(length);
    }
    std::fclose(file);
    if (why.empty() && size <= 0) why = "it is empty";
    if (why.empty() && boxes && !index) why = "it has no index";
    return why.empty();
}
