#pragma once
#include <string>
#include <vector>

struct DemoAssets;

// Rebuilds one loaded asset from its file, in place, so every scene keeps drawing with the same
// object: a program is rebuilt with the same prefix (the old one stays when the new one fails),
// an image is decoded into the same texture object, a mesh goes through the mesh loader again.
class AssetReloader {
public:
    struct Result {
        bool ok = false;
        std::string line;  // the console line: "reloaded assets/cliff.shader in 12 ms" or the error
        std::string log;   // a failed program's compile or link log
    };

    explicit AssetReloader(DemoAssets& assets) : assets_(assets) {}

    // Every file the load phase reads that can be reloaded (the soundtrack is not), as it names
    // them.
    static std::vector<std::string> paths();
    // Reloads `path` (one of paths()); the GL context must be current. Leaves the texture unit
    // and its binding as they were; the program in use may change.
    Result reload(const std::string& path);

private:
    DemoAssets& assets_;
};
