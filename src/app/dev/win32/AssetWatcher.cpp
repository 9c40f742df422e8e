// Windows: each watched file's last write time and size, compared once a second. A file that
// cannot be read at the moment (an editor replacing it) or that a writer still holds open counts
// as unchanged until it is back and closed: read half written, it would be reported twice.
#include "app/dev/AssetWatcher.h"

#include <windows.h>

#include <cstdint>

struct AssetWatcher::Platform {
    struct Stamp {
        std::uint64_t written = 0;
        std::uint64_t size = 0;
    };
    std::vector<Stamp> stamps;
    DWORD lastLook = 0;
};

namespace {

constexpr DWORD kLookEveryMs = 1000;

bool stampOf(const std::string& path, std::uint64_t& written, std::uint64_t& size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    written = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
              data.ftLastWriteTime.dwLowDateTime;
    size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

// Opening with reads shared only fails while another handle may write.
bool writerHasItOpen(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(file);
    return false;
}

}  // namespace

AssetWatcher::AssetWatcher(std::vector<std::string> paths)
    : paths_(std::move(paths)), platform_(new Platform), ok_(true) {
    Platform& p = *platform_;
    p.stamps.resize(paths_.size());
    for (std::size_t i = 0; i < paths_.size(); ++i)
        stampOf(paths_[i], p.stamps[i].written, p.stamps[i].size);
    p.lastLook = GetTickCount();
}

AssetWatcher::~AssetWatcher() {
    delete platform_;
}

std::vector<std::string> AssetWatcher::changed() {
    Platform& p = *platform_;
    std::vector<std::string> result;
    const DWORD now = GetTickCount();
    if (now - p.lastLook < kLookEveryMs) return result;
    p.lastLook = now;
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        std::uint64_t written = 0, size = 0;
        if (!stampOf(paths_[i], written, size)) continue;
        if (written == p.stamps[i].written && size == p.stamps[i].size) continue;
        if (writerHasItOpen(paths_[i])) continue;
        p.stamps[i] = {written, size};
        result.push_back(paths_[i]);
    }
    return result;
}
