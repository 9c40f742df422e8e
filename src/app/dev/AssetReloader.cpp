#include "app/dev/AssetReloader.h"

#include <chrono>
#include <cstdio>
#include <iterator>
#include <memory>

#include "demo/DemoAssets.h"
#include "geometry/AssetFile.h"
#include "geometry/MeshFile.h"
#include "gl/GlEntryTable.h"
#include "gl/ImageDecoder.h"

namespace {

std::string took(const std::string& path, std::chrono::steady_clock::time_point start) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    return "reloaded " + path + " in " + std::to_string(ms) + " ms";
}

// Decodes the file into the texture object the scenes already hold: same name, new pixels. A
// file the load phase would refuse is refused with its line.
bool reloadTexture(Texture2D& texture, const std::string& path, std::string& line) {
    DecodedImage image;
    if (!decodeTextureImage(path, image, line)) return false;
    GLint bound = 0;
    gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    gl.glBindTexture(GL_TEXTURE_2D, texture.id);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, image.format,
                    GL_UNSIGNED_BYTE, image.pixels.data());
    gl.glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    texture.width = image.width;
    texture.height = image.height;
    return true;
}

}  // namespace

AssetReloader::AssetReloader(DemoAssets& assets) : assets_(assets), uniforms_(kAssetCount) {
    for (std::size_t i = 0; i < kAssetCount; ++i)
        if (kAssetManifest[i].kind == AssetKind::Program)
            if (const ShaderProgram* program = (assets_.*kAssetManifest[i].program).get())
                uniforms_[i].readFrom(program->program);
}

std::vector<std::string> AssetReloader::paths() {
    std::vector<std::string> all;
    for (const AssetRow& row : kAssetManifest)
        if (row.kind != AssetKind::Music) all.push_back(row.path);
    return all;
}

AssetReloader::Result AssetReloader::reload(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    Result result;
    for (std::size_t i = 0; i < kAssetCount; ++i) {
        const AssetRow& row = kAssetManifest[i];
        if (path != row.path) continue;
        if (row.kind == AssetKind::Program) {
            ShaderProgram* program = (assets_.*row.program).get();
            if (!program) break;
            uniforms_[i].readFrom(program->program);
            result.ok = program->rebuildKeepingOld(result.log);
            if (result.ok) uniforms_[i].applyTo(program->program);
            result.line =
                result.ok ? took(path, start) : path + " does not build; the old program stays:";
            return result;
        }
        if (row.kind == AssetKind::Image) {
            Texture2D* texture = (assets_.*row.image).get();
            if (!texture) break;
            std::string refused;
            result.ok = reloadTexture(*texture, path, refused);
            result.line = result.ok ? took(path, start) : refused + "; the old image stays";
            return result;
        }
        if (row.kind == AssetKind::Mesh) {
            // The loader's checks without its count lines: one line per reload.
            MeshData mesh;
            std::vector<std::uint8_t> bytes;
            std::string error;
            if (!readAssetFile(path, bytes, error) && error.empty()) error = "it cannot be read";
            if (error.empty() && bytes.empty()) error = "the file is empty";
            result.ok = error.empty() && parseMeshFile(bytes.data(), bytes.size(), mesh, error);
            if (result.ok) assets_.*row.mesh = uploadMesh(mesh);
            result.line = result.ok
                              ? took(path, start)
                              : path + " is not a usable mesh (" + error + "); the old one stays";
            return result;
        }
        break;
    }
    result.line = path + " is not an asset the demo has loaded";
    return result;
}
