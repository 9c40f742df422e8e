#pragma once
#include <string>
#include <vector>

#include "app/dev/UniformValues.h"

struct DemoAssets;

// Rebuilds one loaded asset from its file, in place, so every scene keeps drawing with the same
// object: a program is rebuilt with the same prefix (the old one stays when the new one fails),
// with the uniform values the earlier versions had; an image is decoded into the same texture
// object, a mesh goes through the mesh loader again.
class AssetReloader {
public:
    struct Result {
        bool ok = false;
        std::string line;  // the console line: "reloaded <path> in 12 ms" or the error
        std::string log;   // a failed program's compile or link log
    };

    // Right after the load phase: remembers the uniforms it set on every program.
    explicit AssetReloader(DemoAssets& assets);

    // Every file the load phase reads that can be reloaded (the soundtrack is not), as it names
    // them.
    static std::vector<std::string> paths();
    // Reloads `path` (one of paths()); the GL context must be current. Leaves the texture unit
    // and its binding as they were; the program in use may change.
    Result reload(const std::string& path);

private:
    DemoAssets& assets_;
    std::vector<UniformValues> uniforms_;  // per manifest row: what a rebuilt program gets
};
