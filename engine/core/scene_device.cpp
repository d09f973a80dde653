#include "engine/core/scene_device.h"

const char kSceneShaderSource[] =
    "vs.1.1\n"
    "// position\n"
    "m4x4\toPos,\tv0,\tc[0]\n"
    "// colour\n"
    "mul\toD0,\tv1,\tc[4]\n"
    "// texture coordinates\n"
    "mov\toT0,\tv2\n";

// Neither the assembler nor device shaders and buffers exist in the engine
// yet: nothing can be created, so nothing is ever released.
struct SceneGridBuffers {};

uint32_t CreateSceneShader() { return kNoSceneShader; }

void DeleteSceneShader(uint32_t) {}

SceneGridBuffers* CreateSceneGridBuffers(int, int) { return nullptr; }

void ReleaseSceneGridBuffers(SceneGridBuffers* buffers) { delete buffers; }
