#include "app/headless/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Why `path` cannot be written as a file, or "" when it is a new name or a writable regular file.
std::string targetProblem(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) return std::strerror(errno);
        struct stat link {};
        return lstat(path.c_str(), &link) == 0 ? "it is a link to nothing" : "";
    }
    if (S_ISDIR(status.st_mode)) return std::strerror(EISDIR);
    if (!S_ISREG(status.st_mode)) return "it is not a regular file";
    if (access(path.c_str(), W_OK) != 0) return std::strerror(errno);
    return "";
}

}  // namespace

bool OutputFile::create(const std::string& path, std::string& why) {
    discard();
    why = targetProblem(path);
    if (!why.empty()) return false;
    // Through a link, the file it names is replaced, and the link stays.
    target_ = path;
    char resolved[PATH_MAX];
    struct stat link {};
    if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
        realpath(path.c_str(), resolved))
        target_ = resolved;
    // ".name.part<pid>.ext" beside it: hidden, and with the extension that tells ffmpeg the format.
    const std::size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    const std::string name = target_.substr(folder.size());
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string extension = name.substr(stem.size());
    const std::string temporary =
        folder + "." + stem + ".part" + std::to_string(getpid()) + extension;
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    close(fd);
    temporary_ = temporary;
    return true;
}

bool OutputFile::commit(std::string& why) {
    // Something else may have taken the name meanwhile: a folder or a device is not replaced.
    why = targetProblem(target_);
    if (why.empty() && std::rename(temporary_.c_str(), target_.c_str()) != 0)
        why = std::strerror(errno);
    if (!why.empty()) {
        discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void OutputFile::discard() {
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}
