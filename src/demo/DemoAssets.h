#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "audio/MusicPlayer.h"
#include "demo/SceneClock.h"
#include "gl/GeometryBuffer.h"
#include "gl/LoadedMesh.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture2D.h"
#include "math/MatrixStack.h"

// Every object the scenes draw with, made once by the load phase and owned by the Demo.
struct DemoAssets {
    std::unique_ptr<ShaderProgram> geometryDistortShader;
    std::unique_ptr<ShaderProgram> templeSkyShader;
    std::unique_ptr<ShaderProgram> stoneShader;
    std::unique_ptr<ShaderProgram> introLogoShader;
    std::unique_ptr<ShaderProgram> displayCameraShader;
    std::unique_ptr<ShaderProgram> bigLogoShader;
    std::unique_ptr<ShaderProgram> solidColorShader;
    std::unique_ptr<ShaderProgram> displayShader;
    std::unique_ptr<ShaderProgram> simpleShader;  // the canyon's walls behind the big logo
    std::unique_ptr<ShaderProgram> cliffShader;
    std::unique_ptr<ShaderProgram> displayAttentionShader;
    std::unique_ptr<ShaderProgram> displayGroupnameShader;
    std::unique_ptr<ShaderProgram> displayGreetBgShader;
    std::unique_ptr<ShaderProgram> particlesShader;
    std::unique_ptr<ShaderProgram> debrisParticlesShader;
    std::unique_ptr<ShaderProgram> asteroidShader;
    std::unique_ptr<ShaderProgram> cliffTunnelShader;
    std::unique_ptr<ShaderProgram> kertsiGroundShader;
    std::unique_ptr<ShaderProgram> rocket1Shader;
    std::unique_ptr<ShaderProgram> rocketsSkyShader;
    // Built for their build output only: no scene draws with them.
    std::unique_ptr<ShaderProgram> groundShader;
    std::unique_ptr<ShaderProgram> postprocessShader;

    std::unique_ptr<Texture2D> cliffTexture;
    std::unique_ptr<Texture2D> brickTexture;
    std::unique_ptr<Texture2D> mossTexture;
    std::unique_ptr<Texture2D> newLogoTexture;
    std::unique_ptr<Texture2D> newLogo2Texture;
    std::unique_ptr<Texture2D> bigLogoUpTexture;
    std::unique_ptr<Texture2D> bigLogoDownTexture;
    std::unique_ptr<Texture2D> bigLogoBgTexture;
    std::unique_ptr<Texture2D> creditsTexture;
    std::unique_ptr<Texture2D> attentionTexture;
    std::unique_ptr<Texture2D> mirraTexture;
    std::unique_ptr<Texture2D> bordersTexture;
    std::unique_ptr<Texture2D> recTexture;
    std::unique_ptr<Texture2D> introParticleTexture;
    std::unique_ptr<Texture2D> sandTexture;

    std::unique_ptr<RenderTarget> sceneTarget;
    std::unique_ptr<Texture2D> sceneColorTexture;
    std::unique_ptr<Texture2D> sceneDepthTexture;

    LoadedMesh pantheonMesh;
    LoadedMesh caveMesh;
    SurfaceMesh fieldMeshA;
    SurfaceMesh fieldMeshB;
    SurfaceMesh fieldMeshC;
    SurfaceMesh fieldMeshD;
    LoadedMesh finMesh;    // the rod with only the rings the rockets' fins need
    LoadedMesh coarseRod;  // the rod at every other ring: the far rockets and the ground patches
    LoadedMesh roundRod;   // the rod with regular rings of 16: the near rockets' bodies and flames

    std::unique_ptr<GeometryBuffer> quadBuffer;
    std::unique_ptr<MatrixStack> matrixStack;
};

// The asset manifest: every file the demo reads, in the order the load phase reads it (its console
// lines follow this order), with the slot above it fills and, for a program, the uniforms it gets
// right after it is built. Developer mode watches these files, `velmora-headless --list-assets`
// prints them and the release archives hold exactly them.
enum class AssetKind { Program, Image, Mesh, Music };

struct AssetRow {
    AssetKind kind;
    const char* path;
    std::unique_ptr<ShaderProgram> DemoAssets::*program = nullptr;
    std::unique_ptr<Texture2D> DemoAssets::*image = nullptr;
    LoadedMesh DemoAssets::*mesh = nullptr;
    // A program's load-time uniforms by name, separated by spaces, in the order they are set:
    // "tex" and "moss" (sampler units 0 and 1), "screen" (the picture's size), "ipos" (the logo's
    // placement), "alpha" (1).
    const char* uniforms = "";

    constexpr AssetRow(const char* file, std::unique_ptr<ShaderProgram> DemoAssets::*slot,
                       const char* loadTimeUniforms = "")
        : kind(AssetKind::Program), path(file), program(slot), uniforms(loadTimeUniforms) {}
    constexpr AssetRow(const char* file, std::unique_ptr<Texture2D> DemoAssets::*slot)
        : kind(AssetKind::Image), path(file), image(slot) {}
    constexpr AssetRow(const char* file, LoadedMesh DemoAssets::*slot)
        : kind(AssetKind::Mesh), path(file), mesh(slot) {}
    // The soundtrack, which the music player opens.
    constexpr explicit AssetRow(const char* file) : kind(AssetKind::Music), path(file) {}
};

inline constexpr AssetRow kAssetManifest[] = {
    {"assets/ground.shader", &DemoAssets::groundShader},
    {"assets/geometry_distort.shader", &DemoAssets::geometryDistortShader, "tex moss"},
    {"assets/temple_sky.shader", &DemoAssets::templeSkyShader},
    {"assets/stone.shader", &DemoAssets::stoneShader, "moss"},
    {"assets/intrologo.shader", &DemoAssets::introLogoShader, "tex screen ipos"},
    {"assets/display_camera.shader", &DemoAssets::displayCameraShader, "tex screen"},
    {"assets/biglogo.shader", &DemoAssets::bigLogoShader, "tex screen"},
    {"assets/solidcolor.shader", &DemoAssets::solidColorShader, "screen"},
    {"assets/display.shader", &DemoAssets::displayShader, "tex screen ipos alpha"},
    {"assets/display_postprocess.shader", &DemoAssets::postprocessShader},
    {"assets/simple.shader", &DemoAssets::simpleShader},  // a sky: no images
    {"assets/cliff.shader", &DemoAssets::cliffShader, "tex moss"},

    {"assets/quarncliff.jpg", &DemoAssets::cliffTexture},
    {"assets/brick.jpg", &DemoAssets::brickTexture},
    {"assets/moss.jpg", &DemoAssets::mossTexture},
    {"assets/newlogo.png", &DemoAssets::newLogoTexture},
    {"assets/newlogo2.png", &DemoAssets::newLogo2Texture},
    {"assets/biglogo_up.png", &DemoAssets::bigLogoUpTexture},
    {"assets/biglogo_down.png", &DemoAssets::bigLogoDownTexture},
    {"assets/biglogo_bg.png", &DemoAssets::bigLogoBgTexture},
    {"assets/credits.png", &DemoAssets::creditsTexture},

    {"assets/display_attention.shader", &DemoAssets::displayAttentionShader},
    {"assets/display_groupname.shader", &DemoAssets::displayGroupnameShader},
    {"assets/display_greet_bg.shader", &DemoAssets::displayGreetBgShader},

    {"assets/attention.png", &DemoAssets::attentionTexture},
    {"assets/mirramirra.png", &DemoAssets::mirraTexture},
    {"assets/borders.png", &DemoAssets::bordersTexture},
    {"assets/rec.png", &DemoAssets::recTexture},
    {"assets/introparticle.png", &DemoAssets::introParticleTexture},

    {"assets/particles.shader", &DemoAssets::particlesShader},
    {"assets/debris_particles.shader", &DemoAssets::debrisParticlesShader},
    {"assets/asteroid.shader", &DemoAssets::asteroidShader},
    {"assets/cliff_tunnel.shader", &DemoAssets::cliffTunnelShader},
    // The ground takes its moss from the rock's texel: no moss image.
    {"assets/kertsiground.shader", &DemoAssets::kertsiGroundShader, "tex"},
    {"assets/rocket1.shader", &DemoAssets::rocket1Shader},
    {"assets/rockets_sky.shader", &DemoAssets::rocketsSkyShader},

    {"assets/sand.jpg", &DemoAssets::sandTexture},

    // Read after the render target is made, timed with the generated surfaces.
    {"assets/mesh/pantheon.mesh", &DemoAssets::pantheonMesh},
    {"assets/mesh/cave.mesh", &DemoAssets::caveMesh},

    // Started last.
    AssetRow(MusicPlayer::kSoundtrackPath),
};
inline constexpr std::size_t kAssetCount = sizeof kAssetManifest / sizeof kAssetManifest[0];
