#pragma once
#include <string>

// A file the runner writes (a frame's PNG, the video). It is made under a temporary name beside
// its target and renamed over the target only once it is complete, so a failed or interrupted
// write leaves whatever was there untouched, and the only file the runner ever removes is its own
// temporary one. The target must be a new name or a regular file the user may write: a device, a
// folder, a FIFO or a link to one is refused before anything is written.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile() { discard(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Checks the target and creates the empty temporary file. False with the reason in `why`.
    bool create(const std::string& path, std::string& why);
    // Where to write until commit.
    const std::string& temporaryPath() const { return temporary_; }
    // Renames the finished temporary file over the target. False with the reason in `why`; the
    // temporary file is then removed.
    bool commit(std::string& why);
    // Removes the temporary file, if there is one.
    void discard();

private:
    std::string target_, temporary_;
};
