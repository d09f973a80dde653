#include "engine/models/vertex_shader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/models/dormant_managers.h"
#include "engine/models/scene_device.h"
#include "tests/engine/models/model_fixture.h"

namespace {

class VertexShaderTest : public ModelLayerTest {};

TEST_F(VertexShaderTest, BuildAssemblesTheKeyAndTheDeviceRunsIt) {
    VertexShader* shader = CreateVertexShader();
    ASSERT_EQ(vertexShaderList.GetCount(), 1);
    EXPECT_EQ(shader->GetHandle(), VertexShader::kNoHandle);
    ShaderKey key{VERTEX_PLAIN, LIGHTING_LIGHTS, TEXCOORD_UV, TRANSFORM_PLAIN, 0};
    shader->Build(&key);
    EXPECT_EQ(key.shaderKey, 0x10010801u);
    ASSERT_NE(shader->GetHandle(), VertexShader::kNoHandle);
    EXPECT_EQ(shader->GetBuffer().front(), 0xFFFE0101u);
    EXPECT_EQ(GetDevice()->SetVertexShader(shader->GetHandle()), gpu::D3D_OK);

    // Through the device: c20..c23 carry the transform; position (1, 2, 3)
    // under a matrix that doubles x ends in the clip position, which the
    // interpreter hands on (no failure on an indexed draw of it).
    const float transform[16] = {2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ASSERT_EQ(GetDevice()->SetVertexShaderConstant(20, transform, 4), gpu::D3D_OK);
    struct Vertex { float p[3], n[3]; uint32_t colour; float u, v; } vertices[3] = {
        {{0, 0, 0.5f}, {0, 1, 0}, 0xFFFFFFFF, 0, 0}, {{1, 0, 0.5f}, {0, 1, 0}, 0xFFFFFFFF, 1, 0},
        {{0, 1, 0.5f}, {0, 1, 0}, 0xFFFFFFFF, 0, 1}};
    EXPECT_EQ(GetDevice()->DrawPrimitiveUP(gpu::D3DPT_TRIANGLELIST, 1, vertices, sizeof(Vertex)), gpu::D3D_OK);

    // A text that does not assemble leaves no handle; the shader releases
    // its device shader when it goes.
    const uint32_t old = shader->GetHandle();
    EXPECT_FALSE(shader->CreateFromText("vs.1.1\nbogus r0, v0\n", GetVertexDeclaration(VERTEX_PLAIN)));
    EXPECT_EQ(shader->GetHandle(), VertexShader::kNoHandle);
    EXPECT_NE(GetDevice()->SetVertexShader(old), gpu::D3D_OK);
    EXPECT_FALSE(shader->CreateFromText("vs.1.1\nmov oPos, v0\n", nullptr));
    DestroyVertexShaders();
    EXPECT_EQ(vertexShaderList.GetCount(), 0);
}

TEST_F(VertexShaderTest, EveryMeshKeyBuildsADeviceShader) {
    const uint32_t kinds[] = {VERTEX_PLAIN, VERTEX_MORPH, VERTEX_SKINNED, VERTEX_SKINNED_MORPH};
    const uint32_t lighting[] = {256, 512, 1024, 2048, 4096, 8192};
    const uint32_t transforms[] = {TRANSFORM_PLAIN, TRANSFORM_VIEW, TRANSFORM_WORLD};
    for (uint32_t kind : kinds) {
        for (uint32_t light : lighting) {
            for (uint32_t texCoord = TEXCOORD_UV; texCoord <= TEXCOORD_REFLECTION_TOON; texCoord <<= 1) {
                for (uint32_t transform : transforms) {
                    VertexShader* shader = CreateVertexShader();
                    ShaderKey key{kind, light, texCoord, transform, 0};
                    shader->Build(&key);
                    ASSERT_NE(shader->GetHandle(), VertexShader::kNoHandle) << std::hex << key.shaderKey;
                    shader->Release();
                }
            }
        }
    }
}

TEST_F(VertexShaderTest, DeviceReportsTheConstantsForTwentyThreeBones) {
    gpu::D3DCAPS8 caps{};
    ASSERT_EQ(GetDevice()->GetDeviceCaps(&caps), gpu::D3D_OK);
    EXPECT_EQ(caps.MaxVertexShaderConst, 96u);
    EXPECT_EQ(GetMaxBoneMatrices(), 23u);
}

TEST_F(VertexShaderTest, SceneManagerMakesItsShaderAndGridBuffers) {
    const uint32_t handle = CreateSceneShader();
    ASSERT_NE(handle, kNoSceneShader);
    EXPECT_EQ(GetDevice()->SetVertexShader(handle), gpu::D3D_OK);
    DeleteSceneShader(handle);
    EXPECT_NE(GetDevice()->SetVertexShader(handle), gpu::D3D_OK);

    SceneGridBuffers* grid = CreateSceneGridBuffers(4, 3);
    EXPECT_NE(grid, nullptr);
    ReleaseSceneGridBuffers(grid);
    EXPECT_EQ(CreateSceneGridBuffers(0, 3), nullptr);
    EXPECT_EQ(CreateSceneGridBuffers(300, 300), nullptr);  // beyond 16-bit indices
}

}  // namespace
