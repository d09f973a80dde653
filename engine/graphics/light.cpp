#include "engine/graphics/light.h"

gpu::D3DLIGHT8 lights[kEngineLights];
int lightEnabled[kEngineLights];
float ambientLevel = 0.0f;

namespace {

bool Valid(int light) { return light >= 0 && light < kEngineLights; }

}  // namespace

void SetDirectionalLight(int light, int enable) {
    if (!Valid(light)) return;
    lights[light].Type = gpu::D3DLIGHT_DIRECTIONAL;
    lightEnabled[light] = enable;
}

void SetLightColor(int light, float r, float g, float b) {
    if (Valid(light)) lights[light].Diffuse = {r, g, b, 1.0f};
}

void SetLightDirection(int light, Vector3* direction) {
    if (!Valid(light)) return;
    direction->Normalize();
    lights[light].Direction = {direction->x, direction->y, direction->z};
}

void SetAmbientLevel(float level) { ambientLevel = level; }

void GetLightColor(int light, float* r, float* g, float* b) {
    if (!Valid(light)) return;
    *r = lights[light].Diffuse.r;
    *g = lights[light].Diffuse.g;
    *b = lights[light].Diffuse.b;
}

void GetLightDirection(int light, Vector3* out) {
    if (Valid(light)) out->Set(lights[light].Direction.x, lights[light].Direction.y, lights[light].Direction.z);
}

void GetLightPosition(int light, Vector3* out) {
    if (Valid(light)) out->Set(lights[light].Position.x, lights[light].Position.y, lights[light].Position.z);
}

void GetAmbientLevel(float* out) { *out = ambientLevel; }
