#pragma once
// The engine's four directional light slots and its ambient level. Mesh
// drawing reads them; they are never handed to the device's own lighting.
#include "engine/core/math.h"
#include "platform/gpu_device.h"

constexpr int kEngineLights = 4;

extern gpu::D3DLIGHT8 lights[kEngineLights];
extern int lightEnabled[kEngineLights];
extern float ambientLevel;

// Light numbers outside 0..3 are ignored (getters leave their outputs alone).
void SetDirectionalLight(int light, int enable);
void SetLightColor(int light, float r, float g, float b);
// Normalises the caller's vector in place (a zero vector stays zero) and
// stores it as the direction.
void SetLightDirection(int light, Vector3* direction);
void SetAmbientLevel(float level);
void GetLightColor(int light, float* r, float* g, float* b);
void GetLightDirection(int light, Vector3* out);
void GetLightPosition(int light, Vector3* out);
void GetAmbientLevel(float* out);
