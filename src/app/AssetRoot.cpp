#include "app/AssetRoot.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <system_error>

#include "demo/DemoAssets.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/StartupFailure.h"

namespace fs = std::filesystem;

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

namespace {

// A program started inside the build tree it was made in finds the sources through that tree's
// CMakeCache.txt, so no folder of the build machine is compiled into the program; a released copy
// has no such file above it and looks only beside itself.
fs::path sourceTreeAbove(fs::path folder) {
    const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    for (int depth = 0; depth < 6 && !folder.empty(); ++depth) {
        std::ifstream cache(folder / "CMakeCache.txt");
        for (std::string line; cache && std::getline(cache, line);)
            if (line.compare(0, key.size(), key) == 0) return fs::u8path(line.substr(key.size()));
        if (folder == folder.parent_path()) break;
        folder = folder.parent_path();
    }
    return {};
}

// A folder named assets/ is ours when it holds any file of the demo's manifest. Any other (a
// project of someone else's) is passed over, not read for 37 failures.
bool holdsDemoAssets(const fs::path& folder) {
    std::error_code error;
    for (const AssetRow& row : kAssetManifest)
        if (fs::is_regular_file(folder / row.path, error)) return true;
    return false;
}

}  // namespace

std::vector<fs::path> assetRootCandidates() {
    const fs::path beside = executableFolder();
    return {beside, sourceTreeAbove(beside)};
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
    std::vector<fs::path> looked{here};
    for (const fs::path& folder : candidates)
        if (!folder.empty() && std::find(looked.begin(), looked.end(), folder) == looked.end())
            looked.push_back(folder);
    std::string places = looked[0].u8string();
    for (std::size_t i = 1; i < looked.size(); ++i)
        places += (i + 1 == looked.size() ? " or " : ", ") + looked[i].u8string();
    reportStartupFailure("No assets folder with the demo's files in " + places +
                         ": start the demo from the folder that holds assets/");
    return false;
}
