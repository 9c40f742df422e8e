// inotify on every folder that holds a watched file: a write that closes the file and a file moved
// or renamed into the folder (how many editors save) count. A file created there counts once its
// writer closes it: read before, it would be reported half written, then again when complete.
#include "app/dev/AssetWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

struct AssetWatcher::Platform {
    int fd = -1;
    std::map<int, std::string> folders;  // watch descriptor -> folder with its slash
};

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

AssetWatcher::AssetWatcher(std::vector<std::string> paths)
    : paths_(std::move(paths)), platform_(new Platform) {
    Platform& p = *platform_;
    p.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (p.fd < 0) {
        std::printf("Hot reload is off: inotify refused (%s)\n", std::strerror(errno));
        return;
    }
    ok_ = true;
    for (const std::string& path : paths_) {
        const std::string folder = folderOf(path);
        bool known = false;
        for (const auto& entry : p.folders) known = known || entry.second == folder;
        if (known) continue;
        const int wd = inotify_add_watch(p.fd, folder.empty() ? "." : folder.c_str(),
                                         IN_CLOSE_WRITE | IN_MOVED_TO);
        if (wd < 0) {
            std::printf("Hot reload cannot watch %s (%s)\n", folder.c_str(), std::strerror(errno));
            continue;
        }
        p.folders[wd] = folder;
    }
}

AssetWatcher::~AssetWatcher() {
    if (platform_->fd >= 0) close(platform_->fd);
    delete platform_;
}

std::vector<std::string> AssetWatcher::changed() {
    Platform& p = *platform_;
    std::vector<bool> seen(paths_.size(), false);
    alignas(inotify_event) char buffer[16384];
    while (p.fd >= 0) {
        const ssize_t length = read(p.fd, buffer, sizeof buffer);
        if (length <= 0) break;  // EAGAIN: nothing more for now
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = p.folders.find(event->wd);
            if (folder == p.folders.end() || event->len == 0) continue;
            const std::string path = folder->second + event->name;
            for (std::size_t i = 0; i < paths_.size(); ++i) seen[i] = seen[i] || paths_[i] == path;
        }
    }
    std::vector<std::string> result;
    for (std::size_t i = 0; i < paths_.size(); ++i)
        if (seen[i]) result.push_back(paths_[i]);
    return result;
}
