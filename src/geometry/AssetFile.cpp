#include "geometry/AssetFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

const std::uint64_t kMegabyte = 1024 * 1024;

// Refuses what is not a regular file of an asset's size; `why` stays empty when it is fine.
std::string refusal(const struct stat& status) {
    if (!S_ISREG(status.st_mode)) return "it is not a regular file";
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size > kMaxAssetBytes)
        return "it holds " + std::to_string(size / kMegabyte) + " MB, more than the " +
               std::to_string(kMaxAssetBytes / kMegabyte) + " MB an asset may have";
    return "";
}

}  // namespace

std::FILE* openAssetFile(const std::string& path, std::string& why) {
    why.clear();
#ifdef _WIN32
    // No FIFOs in a Windows folder; devices (NUL, CON) show as character files.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return nullptr;
    why = refusal(status);
    return why.empty() ? std::fopen(path.c_str(), "rb") : nullptr;
#else
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status {};
    if (fstat(fd, &status) != 0 || !(why = refusal(status)).empty()) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
#endif
}

bool readAssetFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& why) {
    bytes.clear();
    std::FILE* file = openAssetFile(path, why);
    if (!file) return false;
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > kMaxAssetBytes) {
            why = "it grew past " + std::to_string(kMaxAssetBytes / kMegabyte) +
                  " MB while it was read";
            break;
        }
    }
    const bool read = why.empty() && !std::ferror(file);
    std::fclose(file);
    if (!read) bytes.clear();
    return read;
}
