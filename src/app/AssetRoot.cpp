#include "app/AssetRoot.h"

#include <cstdio>
#include <string>
#include <system_error>

#include "audio/MusicPlayer.h"

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

// A folder named assets/ is ours when it holds one of the demo's files: the first program the
// load phase builds, the soundtrack or a mesh. Any other (a project of someone else's) is passed
// over, not read for 37 failures.
bool holdsDemoAssets(const fs::path& folder) {
    std::error_code error;
    for (const char* file :
         {"assets/ground.shader", MusicPlayer::kSoundtrackPath, "assets/mesh/cave.mesh"})
        if (fs::is_regular_file(folder / file, error)) return true;
    return false;
}

}  // namespace

std::vector<fs::path> assetRootCandidates() {
    return {executableFolder(), fs::path(VELMORA_SOURCE_DIR)};
}

bool enterAssetRoot(const std::vector<fs::path>& candidates) {
    std::error_code error;
    const fs::path here = fs::current_path(error);
    if (holdsDemoAssets(".")) return true;
    for (const fs::path& folder : candidates) {
        if (folder.empty() || !holdsDemoAssets(folder)) continue;
        fs::current_path(folder, error);
        if (!error) return true;
    }
    std::string places = here.u8string();
    for (std::size_t i = 0; i < candidates.size(); ++i)
        places += (i + 1 == candidates.size() ? " or " : ", ") + candidates[i].u8string();
    std::printf(
        "No assets folder with the demo's files in %s: start the demo from the folder that "
        "holds assets/\n",
        places.c_str());
    return false;
}
