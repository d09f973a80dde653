#pragma once
// The shader family of the OpenGL backend: one generated program per
// combination of texture-stage combiners, alpha test, specular, fog and
// shading, compiled on first use and kept.
#include <GL/glcorearb.h>

#include <array>
#include <map>
#include <string>

#include "platform/gpu_device.h"

namespace gpu {

// What selects a program. Stages after the first disabled one are zeroed.
struct ProgramKey {
    struct Stage {
        uint32_t colourOp, colourArg[3], alphaOp, alphaArg[3], resultArg;  // args 1, 2, 0
        uint32_t textured;
    };
    std::array<Stage, kMaxTextureStages> stages{};
    uint32_t alphaFunc = D3DCMP_ALWAYS;  // ALWAYS when the alpha test is off
    uint32_t flat = 0, specular = 0, fog = 0;
    bool operator<(const ProgramKey& other) const;
};

struct Program {
    GLuint id = 0;
    GLint targetSize = -1, textureFactor = -1, fogColour = -1, alphaRef = -1;
};

// The GLSL sources of a key's program (exposed for tests of the generator).
std::string VertexSource(const ProgramKey& key);
std::string FragmentSource(const ProgramKey& key);

class ProgramCache {
public:
    ~ProgramCache();
    // The program of a key; id 0 when it failed to compile (logged once).
    const Program& Get(const ProgramKey& key);

private:
    std::map<ProgramKey, Program> programs_;
};

}  // namespace gpu
