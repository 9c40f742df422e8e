// inotify on every folder that holds a watched file: a write that closes the file and a file moved
// or renamed into the folder (how many editors save) count. A file created there counts once its
// writer closes it: read before, it would be reported half written, then again when complete. A
// watch follows its folder when the folder is moved away, so each folder is also checked by
// identity: a folder replaced by another (assets/ moved aside and a new one copied in) is watched
// anew and all its files count as changed.
#include "app/dev/AssetWatcher.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

struct WatchedFolder {
    std::string name;  // with its slash; empty: the working directory
    int wd = -1;
    dev_t device = 0;
    ino_t inode = 0;
    bool reportedGone = false;
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Watches the folder now under the name; false when there is none.
bool watch(int fd, WatchedFolder& folder, bool quiet) {
    const char* name = folder.name.empty() ? "." : folder.name.c_str();
    struct stat status {};
    if (stat(name, &status) != 0) return false;
    folder.wd = inotify_add_watch(fd, name, IN_CLOSE_WRITE | IN_MOVED_TO);
    if (folder.wd < 0) {
        if (!quiet) std::printf("Hot reload cannot watch %s (%s)\n", name, std::strerror(errno));
        return false;
    }
    folder.device = status.st_dev;
    folder.inode = status.st_ino;
    return true;
}

}  // namespace

struct AssetWatcher::Platform {
    int fd = -1;
    std::vector<WatchedFolder> folders;
};

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
        for (const WatchedFolder& f : p.folders) known = known || f.name == folder;
        if (known) continue;
        p.folders.push_back({folder});
        watch(p.fd, p.folders.back(), false);
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
            if (event->len == 0) continue;
            for (const WatchedFolder& folder : p.folders) {
                if (folder.wd != event->wd) continue;
                const std::string path = folder.name + event->name;
                for (std::size_t i = 0; i < paths_.size(); ++i)
                    seen[i] = seen[i] || paths_[i] == path;
            }
        }
    }
    for (WatchedFolder& folder : p.folders) {
        if (p.fd < 0) break;
        struct stat status {};
        const bool there = stat(folder.name.empty() ? "." : folder.name.c_str(), &status) == 0;
        if (there && folder.wd >= 0 && status.st_dev == folder.device &&
            status.st_ino == folder.inode)
            continue;
        if (folder.wd >= 0) inotify_rm_watch(p.fd, folder.wd);
        folder.wd = -1;
        if (!there || !watch(p.fd, folder, true)) {
            if (!folder.reportedGone)
                std::printf("%s is gone: reloads resume when it is back\n", folder.name.c_str());
            folder.reportedGone = true;
            continue;
        }
        folder.reportedGone = false;
        for (std::size_t i = 0; i < paths_.size(); ++i)
            seen[i] = seen[i] || folderOf(paths_[i]) == folder.name;
    }
    std::vector<std::string> result;
    for (std::size_t i = 0; i < paths_.size(); ++i)
        if (seen[i]) result.push_back(paths_[i]);
    return result;
}
