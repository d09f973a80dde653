// Vertices per second through mesh vertex shaders on the CPU interpreter:
// the skinning shader (three bones per vertex, four directional lights, uv
// coordinates, view fog) and, for comparison, the plain unlit shader with
// view fog that the game's stage meshes use.
#include "engine/models/shader_fragments.h"
#include "engine/models/vertex_declaration.h"
#include "engine/models/vertex_shader_asm.h"
#include "engine/models/vertex_shader_vm.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kVertexCount = 4096;
constexpr int kStride = 52;  // the skinned layout; the plain shader reads its first 36 bytes alike

struct ShaderSetup {
    std::unique_ptr<VertexShaderProgram> program;
    vs::VertexDeclaration declaration;
    std::vector<uint8_t> vertices;
    float constants[vs::kConstantCount][4] = {};

    explicit ShaderSetup(ShaderKey key) {
        std::vector<uint32_t> tokens;
        AssembleVertexShader(BuildShaderSource(&key), &tokens);
        program = VertexShaderProgram::Compile(tokens.data(), tokens.size());
        vs::ParseVertexDeclaration(GetVertexDeclaration(key.vertexKind), 64, &declaration);

        for (int i = 0; i < vs::kConstantCount; ++i) {
            for (int j = 0; j < 4; ++j) constants[i][j] = 0.01f * static_cast<float>((i * 7 + j * 3) % 23) - 0.1f;
        }
        const float c0[4] = {0.5f, -0.5f, 1.0f, 765.01f};
        std::memcpy(constants[0], c0, sizeof c0);

        vertices.resize(static_cast<size_t>(kVertexCount) * kStride);
        for (int v = 0; v < kVertexCount; ++v) {
            uint8_t* p = &vertices[static_cast<size_t>(v) * kStride];
            const float f = static_cast<float>(v);
            const float position[3] = {f * 0.01f, 1.0f - f * 0.002f, 0.5f};
            const float normal[3] = {0.0f, 0.6f, 0.8f};
            const float weights[2] = {0.5f, 0.3f};
            const uint8_t bones[4] = {static_cast<uint8_t>(v % 23), static_cast<uint8_t>((v + 5) % 23),
                                      static_cast<uint8_t>((v + 11) % 23), 0};
            const uint32_t diffuse = 0xFFFFFFFF;
            const float uv[2] = {0.25f, 0.75f};
            std::memcpy(p, position, 12);
            std::memcpy(p + 12, normal, 12);
            std::memcpy(p + 24, weights, 8);
            std::memcpy(p + 32, bones, 4);
            std::memcpy(p + 36, bones, 4);
            std::memcpy(p + 40, &diffuse, 4);
            std::memcpy(p + 44, uv, 8);
        }
    }
};

void RunVertices(benchmark::State& state, ShaderKey key) {
    ShaderSetup setup(key);
    if (!setup.program) {
        state.SkipWithError("the shader did not assemble");
        return;
    }
    float inputs[vs::kInputCount][4] = {};
    VertexShaderOutput out;
    for (auto _ : state) {
        for (int v = 0; v < kVertexCount; ++v) {
            vs::LoadVertexInputs(setup.declaration, &setup.vertices[static_cast<size_t>(v) * kStride], inputs);
            setup.program->Run(inputs, setup.constants, &out);
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetItemsProcessed(state.iterations() * kVertexCount);
}

void BM_SkinningShader(benchmark::State& state) {
    ShaderKey key;
    key.vertexKind = VERTEX_SKINNED;
    key.lightingMode = LIGHTING_LIGHTS;
    key.transformMode = TRANSFORM_VIEW;
    RunVertices(state, key);
}
BENCHMARK(BM_SkinningShader)->UseRealTime();

void BM_PlainUnlitShader(benchmark::State& state) {
    ShaderKey key;
    key.lightingMode = LIGHTING_NONE;
    key.transformMode = TRANSFORM_VIEW;
    RunVertices(state, key);
}
BENCHMARK(BM_PlainUnlitShader);

void BM_AssembleSkinningShader(benchmark::State& state) {
    ShaderKey key;
    key.vertexKind = VERTEX_SKINNED;
    std::vector<uint32_t> tokens;
    for (auto _ : state) {
        ShaderKey k = key;
        AssembleVertexShader(BuildShaderSource(&k), &tokens);
        benchmark::DoNotOptimize(VertexShaderProgram::Compile(tokens.data(), tokens.size()));
    }
}
BENCHMARK(BM_AssembleSkinningShader);

}  // namespace
