#pragma once
#include "engine/models/vertex_shader_tokens.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Runs a vs.1.1 token stream on the CPU, one vertex at a time, as Direct3D's
// software vertex processing does. A pure component: the graphics device
// hands it the declared inputs and its constant registers and takes the
// outputs on to clipping and rasterisation.

// What a vertex shader leaves for the rasteriser. An output the program never
// writes keeps the value below, the fixed-function default for a vertex
// without that element: white diffuse, black specular, (0, 0, 0, 1)
// coordinates, no fog (1) and a point size of 1.
struct VertexShaderOutput {
    float position[4] = {0.0f, 0.0f, 0.0f, 0.0f};                // oPos, clip space
    float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};                 // oD0
    float specular[4] = {0.0f, 0.0f, 0.0f, 0.0f};                // oD1
    float texCoord[vs::kTexCoordCount][4] = {{0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1},
                                             {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}};  // oT0..oT7
    float fog = 1.0f;                                            // oFog.x
    float pointSize = 1.0f;                                      // oPts.x
};

class VertexShaderProgram {
public:
    // Decodes the token stream: the version token, instructions up to the end
    // token (comments skipped), never reading past `maxTokens` words (pass
    // SIZE_MAX for a stream known to be whole, which is read up to its end
    // token as Direct3D reads it). Null when the stream is not a valid
    // vs.1.0/1.1 program.
    static std::unique_ptr<VertexShaderProgram> Compile(const uint32_t* tokens, size_t maxTokens);

    // One vertex. `inputs` are v0..v15 as the declaration loaded them,
    // `constants` c0..c95. A relative constant read outside c0..c95 gives
    // (0, 0, 0, 0). Outputs are not clamped: that is the rasteriser's step.
    void Run(const float inputs[vs::kInputCount][4], const float constants[vs::kConstantCount][4],
             VertexShaderOutput* out) const;

    size_t GetInstructionCount() const { return instructions_.size(); }

    // A decoded instruction. Register numbers index the interpreter's own
    // register file (temporaries, then inputs, then outputs) or, for
    // constants, c0..c95.
    struct Source {
        uint16_t index;
        bool constant;
        bool relative;
        bool plain;           // identity swizzle and no negation
        uint8_t swizzle[4];
        uint32_t signMask;    // 0x80000000 when negated
    };
    struct Instruction {
        uint32_t opcode;
        uint8_t rows;       // matrix instructions: rows, i.e. components written
        uint8_t dotSize;    // dot products: components summed
        bool toAddress;     // mov a0.x
        uint8_t writeMask;
        uint32_t laneMask[4];  // all ones for each written component
        uint16_t dest;
        Source source[3];
    };

private:
    std::vector<Instruction> instructions_;
};
