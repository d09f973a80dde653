#pragma once
#include <cstdint>

// The scene manager's share of the graphics device: its vertex shader and the
// device buffers of its grids.

constexpr uint32_t kNoSceneShader = 0xFFFFFFFFu;  // -1: no shader

// Position by the matrix in c0..c3, vertex colour times c4, texture
// coordinates passed through.
extern const char kSceneShaderSource[];

// Assembles kSceneShaderSource and creates it with its declaration (stream 0:
// v0 FLOAT3 position, v1 D3DCOLOR colour, v2 FLOAT2 texture coordinates),
// with software-processing usage on a software-processing device. Returns the
// handle, or kNoSceneShader when it could not be made.
uint32_t CreateSceneShader();
void DeleteSceneShader(uint32_t handle);

// The vertex and index buffer of one scene grid, built from its size; null
// when they could not be made.
struct SceneGridBuffers;
SceneGridBuffers* CreateSceneGridBuffers(int gridWidth, int gridHeight);
void ReleaseSceneGridBuffers(SceneGridBuffers* buffers);

// Installs the release and restore walks of the managers with device objects
// (sprites, list sprites, both primitive lists, particles, scenes).
void RegisterDormantDeviceObjectWalks();
