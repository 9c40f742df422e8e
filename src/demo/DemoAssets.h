#pragma once
#include <cstdint>
#include <memory>

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
    std::unique_ptr<ShaderProgram> stoneShader;
    std::unique_ptr<ShaderProgram> introLogoShader;
    std::unique_ptr<ShaderProgram> displayCameraShader;
    std::unique_ptr<ShaderProgram> bigLogoShader;
    std::unique_ptr<ShaderProgram> solidColorShader;
    std::unique_ptr<ShaderProgram> displayShader;
    std::unique_ptr<ShaderProgram> simpleShader;
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

    std::unique_ptr<GeometryBuffer> quadBuffer;
    std::unique_ptr<MatrixStack> matrixStack;
    std::int32_t sceneStartBars[kSceneTableSize] = {};
};
