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

using ShaderSlot = std::unique_ptr<ShaderProgram> DemoAssets::*;
using TextureSlot = std::unique_ptr<Texture2D> DemoAssets::*;
using MeshSlot = LoadedMesh DemoAssets::*;

// The programs know their own file.
const ShaderSlot kShaders[] = {
    &DemoAssets::groundShader,
    &DemoAssets::geometryDistortShader,
    &DemoAssets::stoneShader,
    &DemoAssets::introLogoShader,
    &DemoAssets::displayCameraShader,
    &DemoAssets::bigLogoShader,
    &DemoAssets::solidColorShader,
    &DemoAssets::displayShader,
    &DemoAssets::postprocessShader,
    &DemoAssets::simpleShader,
    &DemoAssets::cliffShader,
    &DemoAssets::displayAttentionShader,
    &DemoAssets::displayGroupnameShader,
    &DemoAssets::displayGreetBgShader,
    &DemoAssets::particlesShader,
    &DemoAssets::debrisParticlesShader,
    &DemoAssets::asteroidShader,
    &DemoAssets::cliffTunnelShader,
    &DemoAssets::kertsiGroundShader,
    &DemoAssets::rocket1Shader,
};

// Shader paths as the load phase builds them, for when no program is loaded yet.
const char* const kShaderFiles[] = {
    "assets/ground.shader",
    "assets/geometry_distort.shader",
    "assets/stone.shader",
    "assets/intrologo.shader",
    "assets/display_camera.shader",
    "assets/biglogo.shader",
    "assets/solidcolor.shader",
    "assets/display.shader",
    "assets/display_postprocess.shader",
    "assets/simple.shader",
    "assets/cliff.shader",
    "assets/display_attention.shader",
    "assets/display_groupname.shader",
    "assets/display_greet_bg.shader",
    "assets/particles.shader",
    "assets/debris_particles.shader",
    "assets/asteroid.shader",
    "assets/cliff_tunnel.shader",
    "assets/kertsiground.shader",
    "assets/rocket1.shader",
};
static_assert(sizeof kShaders / sizeof kShaders[0] == sizeof kShaderFiles / sizeof kShaderFiles[0],
              "one file per program");

struct TextureFile {
    const char* path;
    TextureSlot slot;
};
const TextureFile kTextures[] = {
    {"assets/quarncliff.jpg", &DemoAssets::cliffTexture},
    {"assets/brick.jpg", &DemoAssets::brickTexture},
    {"assets/moss.jpg", &DemoAssets::mossTexture},
    {"assets/newlogo.png", &DemoAssets::newLogoTexture},
    {"assets/newlogo2.png", &DemoAssets::newLogo2Texture},
    {"assets/biglogo_up.png", &DemoAssets::bigLogoUpTexture},
    {"assets/biglogo_down.png", &DemoAssets::bigLogoDownTexture},
    {"assets/biglogo_bg.png", &DemoAssets::bigLogoBgTexture},
    {"assets/credits.png", &DemoAssets::creditsTexture},
    {"assets/attention.png", &DemoAssets::attentionTexture},
    {"assets/mirramirra.png", &DemoAssets::mirraTexture},
    {"assets/borders.png", &DemoAssets::bordersTexture},
    {"assets/rec.png", &DemoAssets::recTexture},
    {"assets/introparticle.png", &DemoAssets::introParticleTexture},
    {"assets/sand.jpg", &DemoAssets::sandTexture},
};

struct MeshFile {
    const char* path;
    MeshSlot slot;
};
const MeshFile kMeshes[] = {
    {"assets/mesh/pantheon.mesh", &DemoAssets::pantheonMesh},
    {"assets/mesh/cave.mesh", &DemoAssets::caveMesh},
};

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

AssetReloader::AssetReloader(DemoAssets& assets)
    : assets_(assets), uniforms_(sizeof kShaders / sizeof kShaders[0]) {
    for (std::size_t i = 0; i < uniforms_.size(); ++i)
        if (const ShaderProgram* program = (assets_.*kShaders[i]).get())
            uniforms_[i].readFrom(program->program);
}

std::vector<std::string> AssetReloader::paths() {
    std::vector<std::string> all(std::begin(kShaderFiles), std::end(kShaderFiles));
    for (const TextureFile& t : kTextures) all.push_back(t.path);
    for (const MeshFile& m : kMeshes) all.push_back(m.path);
    return all;
}

AssetReloader::Result AssetReloader::reload(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    Result result;
    for (std::size_t i = 0; i < sizeof kShaders / sizeof kShaders[0]; ++i) {
        ShaderProgram* program = (assets_.*kShaders[i]).get();
        if (path != kShaderFiles[i] || !program) continue;
        uniforms_[i].readFrom(program->program);
        result.ok = program->rebuildKeepingOld(result.log);
        if (result.ok) uniforms_[i].applyTo(program->program);
        result.line =
            result.ok ? took(path, start) : path + " does not build; the old program stays:";
        return result;
    }
    for (const TextureFile& t : kTextures) {
        Texture2D* texture = (assets_.*t.slot).get();
        if (path != t.path || !texture) continue;
        std::string refused;
        result.ok = reloadTexture(*texture, path, refused);
        result.line = result.ok ? took(path, start) : refused + "; the old image stays";
        return result;
    }
    for (const MeshFile& m : kMeshes) {
        if (path != m.path) continue;
        // The loader's checks without its count lines: one line per reload.
        MeshData mesh;
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!readAssetFile(path, bytes, error) && error.empty()) error = "it cannot be read";
        if (error.empty() && bytes.empty()) error = "the file is empty";
        result.ok = error.empty() && parseMeshFile(bytes.data(), bytes.size(), mesh, error);
        if (result.ok) assets_.*m.slot = uploadMesh(mesh);
        result.line = result.ok ? took(path, start)
                                : path + " is not a usable mesh (" + error + "); the old one stays";
        return result;
    }
    result.line = path + " is not an asset the demo has loaded";
    return result;
}
