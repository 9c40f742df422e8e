#pragma once
#include <cstdint>

#include "demo/SceneClock.h"
#include "geometry/LoadedMesh.h"
#include "math/MatrixStack.h"

class ShaderProgram;
class Texture2D;
class RenderTarget;
class GeometryBuffer;

// Every object the scenes draw with, made once by the load phase and owned by the entry.
struct DemoAssets {
    ShaderProgram* geometryDistortShader = nullptr;
    ShaderProgram* stoneShader = nullptr;
    ShaderProgram* introLogoShader = nullptr;
    ShaderProgram* displayCameraShader = nullptr;
    ShaderProgram* bigLogoShader = nullptr;
    ShaderProgram* solidColorShader = nullptr;
    ShaderProgram* displayShader = nullptr;
    ShaderProgram* simpleShader = nullptr;
    ShaderProgram* cliffShader = nullptr;
    ShaderProgram* displayAttentionShader = nullptr;
    ShaderProgram* displayGroupnameShader = nullptr;
    ShaderProgram* displayGreetBgShader = nullptr;
    ShaderProgram* particlesShader = nullptr;
    ShaderProgram* debrisParticlesShader = nullptr;
    ShaderProgram* asteroidShader = nullptr;
    ShaderProgram* cliffTunnelShader = nullptr;
    ShaderProgram* kertsiGroundShader = nullptr;
    ShaderProgram* rocket1Shader = nullptr;

    Texture2D* cliffTexture = nullptr;
    Texture2D* brickTexture = nullptr;
    Texture2D* mossTexture = nullptr;
    Texture2D* newLogoTexture = nullptr;
    Texture2D* newLogo2Texture = nullptr;
    Texture2D* bigLogoUpTexture = nullptr;
    Texture2D* bigLogoDownTexture = nullptr;
    Texture2D* bigLogoBgTexture = nullptr;
    Texture2D* creditsTexture = nullptr;
    Texture2D* attentionTexture = nullptr;
    Texture2D* mirraTexture = nullptr;
    Texture2D* bordersTexture = nullptr;
    Texture2D* recTexture = nullptr;
    Texture2D* introParticleTexture = nullptr;
    Texture2D* sandTexture = nullptr;

    RenderTarget* sceneTarget = nullptr;
    Texture2D* sceneColorTexture = nullptr;
    Texture2D* sceneDepthTexture = nullptr;

    LoadedMesh pantheonMesh;
    LoadedMesh caveMesh;
    SurfaceMesh fieldMeshA;
    SurfaceMesh fieldMeshB;
    SurfaceMesh fieldMeshC;
    SurfaceMesh fieldMeshD;

    GeometryBuffer* quadBuffer = nullptr;
    MatrixStack* matrixStack = nullptr;
    std::int32_t sceneStartBars[kSceneTableSize] = {};
};
