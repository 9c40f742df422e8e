#pragma once
#include <string>
#include <vector>

// Tells which of a set of files changed on disk. Linux: inotify on their folders, so a file an
// editor replaces by renaming is still seen. Windows: each file's write time, looked at once a
// second.
class AssetWatcher {
public:
    // `paths` relative to the working directory, as the load phase opens them ("assets/x.png").
    explicit AssetWatcher(std::vector<std::string> paths);
    ~AssetWatcher();
    AssetWatcher(const AssetWatcher&) = delete;
    AssetWatcher& operator=(const AssetWatcher&) = delete;

    // The watched files written, replaced or created since the last call, each once, in the
    // order of `paths`. Never waits.
    std::vector<std::string> changed();
    // False (after one printed line) when the platform refused to watch: nothing will change.
    bool ok() const { return ok_; }

private:
    struct Platform;
    std::vector<std::string> paths_;
    Platform* platform_ = nullptr;
    bool ok_ = false;
};
