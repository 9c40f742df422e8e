#include "app/AssetRoot.h"

#include <cstdio>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path executableFolder() {
#ifdef _WIN32
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return fs::path(path).parent_path();
#else
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : path.parent_path();
#endif
}

}  // namespace

std::vector<fs::path> assetRootCandidates() {
    return {executableFolder(), fs::path(VELMORA_SOURCE_DIR)};
}

bool enterAssetRoot(const std::vector<fs::path>& candidates) {
    std::error_code error;
    const fs::path here = fs::current_path(error);
    if (fs::is_directory("assets", error)) return true;
    for (const fs::path& folder : candidates) {
        if (folder.empty() || !fs::is_directory(folder / "assets", error)) continue;
        fs::current_path(folder, error);
        if (!error) return true;
    }
    std::string places = here.u8string();
    for (std::size_t i = 0; i < candidates.size(); ++i)
        places += (i + 1 == candidates.size() ? " or " : ", ") + candidates[i].u8string();
    std::printf("No assets folder in %s: start the demo from the folder that holds assets/\n",
                places.c_str());
    return false;
}
