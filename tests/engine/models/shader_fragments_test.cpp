#include "engine/models/shader_fragments.h"

#include "engine/models/vertex_declaration.h"
#include "engine/models/vertex_shader_asm.h"
#include "engine/models/vertex_shader_vm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Vec4 = std::array<float, 4>;
using Mat = std::array<float, 16>;  // row-vector layout, translation in the last row

constexpr uint32_t kKinds[] = {VERTEX_PLAIN, VERTEX_MORPH, VERTEX_SKINNED, VERTEX_SKINNED_MORPH};
constexpr uint32_t kLightings[] = {LIGHTING_NONE, LIGHTING_VERTEX_COLOUR, LIGHTING_DIFFUSE,
                                   LIGHTING_LIGHTS, LIGHTING_HEMISPHERE, LIGHTING_DEPTH};
constexpr uint32_t kTexCoords[] = {TEXCOORD_UV, TEXCOORD_TOON_UV, TEXCOORD_STEALTH_UV, TEXCOORD_REFLECTION_UV,
                                   TEXCOORD_SHADOW_UV, TEXCOORD_UV_TOON, TEXCOORD_UV_STEALTH,
                                   TEXCOORD_UV_REFLECTION, TEXCOORD_UV_SHADOW, TEXCOORD_TOON_REFLECTION,
                                   TEXCOORD_REFLECTION_TOON};
constexpr uint32_t kTransforms[] = {TRANSFORM_PLAIN, TRANSFORM_VIEW, TRANSFORM_WORLD};

Vec4 Transform(const Vec4& p, const Mat& m) {
    Vec4 r{};
    for (int c = 0; c < 4; ++c) r[c] = p[0] * m[c] + p[1] * m[4 + c] + p[2] * m[8 + c] + p[3] * m[12 + c];
    return r;
}

Mat Identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }
Mat Translation(float x, float y, float z) { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}; }
Mat Scaling(float s) { return {s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1}; }
// A quarter turn about z (x goes to y) followed by a move along z.
Mat QuarterTurnZ(float dz) { return {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, dz, 1}; }

// One mesh vertex with every field the four packed layouts can carry.
struct MeshVertex {
    float position[3] = {1, 2, 3};
    float normal[3] = {0, 1, 0};
    float morphPosition[3] = {0, 0, 0};
    float morphNormal[3] = {0, 0, 0};
    float weights[2] = {0, 0};
    uint8_t bones[4] = {0, 0, 0, 0};
    uint32_t diffuse = 0xFFFFFFFF;
    float uv[2] = {0.25f, 0.75f};
};

// Packs a vertex as meshes lay it out for each kind: position, normal,
// [morph position, morph normal], [weights 0 and 1, the index word as a
// third float, the index bytes], diffuse, u, v.
std::vector<uint8_t> Pack(uint32_t kind, const MeshVertex& v) {
    std::vector<uint8_t> bytes;
    auto put = [&bytes](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    };
    put(v.position, 12);
    put(v.normal, 12);
    if (kind == VERTEX_MORPH || kind == VERTEX_SKINNED_MORPH) {
        put(v.morphPosition, 12);
        put(v.morphNormal, 12);
    }
    if (kind == VERTEX_SKINNED || kind == VERTEX_SKINNED_MORPH) {
        put(v.weights, 8);
        put(v.bones, 4);
        put(v.bones, 4);
    }
    put(&v.diffuse, 4);
    put(v.uv, 8);
    return bytes;
}

class MeshShader {
public:
    MeshShader() {
        SetConstant(0, {0.5f, -0.5f, 1.0f, 765.01f});
        SetMatrix(20, Identity(), 4);
    }

    void SetConstant(int reg, Vec4 v) { std::memcpy(constants_[reg], v.data(), sizeof(float) * 4); }
    // Registers reg.. hold the first `rows` rows of the transpose, as meshes set them.
    void SetMatrix(int reg, const Mat& m, int rows) {
        for (int r = 0; r < rows; ++r) SetConstant(reg + r, {m[r], m[4 + r], m[8 + r], m[12 + r]});
    }
    void SetBone(int slot, const Mat& m) { SetMatrix(26 + 3 * slot, m, 3); }

    VertexShaderOutput Run(ShaderKey key, const MeshVertex& vertex) {
        const std::string source = BuildShaderSource(&key);
        std::vector<uint32_t> tokens;
        std::string error;
        EXPECT_TRUE(AssembleVertexShader(source, &tokens, &error)) << error << "\n" << source;
        const auto program = VertexShaderProgram::Compile(tokens.data(), tokens.size());
        vs::VertexDeclaration declaration;
        const uint32_t* tokensOfKind = GetVertexDeclaration(key.vertexKind);
        EXPECT_TRUE(vs::ParseVertexDeclaration(tokensOfKind, 64, &declaration));
        const std::vector<uint8_t> packed = Pack(key.vertexKind, vertex);
        EXPECT_EQ(packed.size(), declaration.stride);
        float inputs[vs::kInputCount][4] = {};
        vs::LoadVertexInputs(declaration, packed.data(), inputs);
        VertexShaderOutput out;
        if (program) program->Run(inputs, constants_, &out);
        return out;
    }

    // Lights that turn oD0.rgb into a quarter of the model-space normal r2
    // (read back by ProbedNormal), far below the clamp at 1.
    void UseNormalProbe() {
        SetConstant(2, {0, 0, 0, 0});
        SetConstant(3, {1, 0, 0, 0});
        SetConstant(4, {0, 1, 0, 0});
        SetConstant(5, {0, 0, 1, 0});
        SetConstant(6, {0, 0, 0, 0});
        SetConstant(7, {1, 0, 0, 0});
        SetConstant(8, {0, 1, 0, 0});
        SetConstant(9, {0, 0, 1, 0});
        SetConstant(10, {0, 0, 0, 0});
        SetConstant(11, {0.25f, 0.25f, 0.25f, 1});
    }

private:
    float constants_[vs::kConstantCount][4] = {};
};

ShaderKey Key(uint32_t kind, uint32_t lighting = LIGHTING_NONE, uint32_t texCoord = TEXCOORD_UV,
              uint32_t transform = TRANSFORM_PLAIN) {
    ShaderKey key;
    key.vertexKind = kind;
    key.lightingMode = lighting;
    key.texCoordMode = texCoord;
    key.transformMode = transform;
    return key;
}

void SetVec3(float v[3], float x, float y, float z) {
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

Vec4 Of(const float v[4]) { return {v[0], v[1], v[2], v[3]}; }
Vec4 ProbedNormal(const VertexShaderOutput& out) {
    return {out.diffuse[0] * 4, out.diffuse[1] * 4, out.diffuse[2] * 4, 0.0f};
}

void ExpectNear(const Vec4& got, const Vec4& expected, const char* what, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], expected[i], tolerance) << what << " [" << i << "]";
}

// ---------------------------------------------------------------------------
// Key and source composition

TEST(ShaderFragmentsTest, DefaultMeshKeyJoinsFourPartsAndOrsTheWords) {
    ShaderKey key;  // a new mesh's key
    const std::string source = BuildShaderSource(&key);
    EXPECT_EQ(key.shaderKey, 0x10010801u);

    std::string joined;
    for (auto write : {WriteVertexPart, WriteLightingPart, WriteTexCoordPart, WriteTransformPart}) {
        std::vector<char> part(4096);
        joined.append(part.data(), write(part.data(), 4096, key));
    }
    EXPECT_EQ(source, joined);
    EXPECT_EQ(source.rfind("vs.1.1\n", 0), 0u);
    char transform[16];
    EXPECT_EQ(WriteTransformPart(transform, sizeof transform, key), 0u);  // plain: no fog text
}

TEST(ShaderFragmentsTest, EveryModeCombinationAssemblesAndHasItsOwnKey) {
    std::vector<uint32_t> keys;
    for (uint32_t kind : kKinds)
        for (uint32_t lighting : kLightings)
            for (uint32_t texCoord : kTexCoords)
                for (uint32_t transform : kTransforms) {
                    ShaderKey key = Key(kind, lighting, texCoord, transform);
                    const std::string source = BuildShaderSource(&key);
                    std::vector<uint32_t> tokens;
                    std::string error;
                    ASSERT_TRUE(AssembleVertexShader(source, &tokens, &error)) << error << "\n" << source;
                    EXPECT_NE(VertexShaderProgram::Compile(tokens.data(), tokens.size()), nullptr);
                    EXPECT_EQ(key.shaderKey, kind | lighting | texCoord | transform);
                    keys.push_back(key.shaderKey);
                }
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
    EXPECT_EQ(keys.size(), 4u * 6u * 11u * 3u);
}

// Each part's output depends only on its own word and the vertex part: no
// part overwrites the registers r0, r1, r2 that later parts read.
TEST(ShaderFragmentsTest, PartsDoNotDisturbEachOther) {
    MeshShader shader;
    shader.SetMatrix(20, {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0.5f, 1, 1, -1, 4, 0}, 4);
    shader.SetMatrix(16, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0.25f, 2, 3, 4, 1}, 4);
    shader.SetMatrix(13, Translation(0, 0, 10), 3);
    for (int c = 1; c <= 12; ++c) shader.SetConstant(c, {0.1f * c, 0.2f, -0.05f * c, 0.3f});
    shader.SetBone(0, QuarterTurnZ(5));
    shader.SetBone(1, Translation(0, 2, 0));
    MeshVertex v;
    SetVec3(v.morphPosition, 2, 1, 4);
    SetVec3(v.morphNormal, 0.6f, 0, 0.8f);
    v.weights[0] = 0.7f;
    v.bones[1] = 1;
    v.diffuse = 0x80402010;

    for (uint32_t kind : kKinds) {
        const VertexShaderOutput base = shader.Run(Key(kind), v);
        const VertexShaderOutput lit = shader.Run(Key(kind, LIGHTING_HEMISPHERE), v);
        const VertexShaderOutput depth = shader.Run(Key(kind, LIGHTING_DEPTH), v);
        const VertexShaderOutput reflected = shader.Run(Key(kind, LIGHTING_NONE, TEXCOORD_REFLECTION_TOON), v);
        const VertexShaderOutput fogged = shader.Run(Key(kind, LIGHTING_NONE, TEXCOORD_UV, TRANSFORM_WORLD), v);
        for (uint32_t lighting : kLightings)
            for (uint32_t texCoord : kTexCoords)
                for (uint32_t transform : kTransforms) {
                    const VertexShaderOutput out = shader.Run(Key(kind, lighting, texCoord, transform), v);
                    const std::string what = "key " + std::to_string(kind | lighting | texCoord | transform);
                    EXPECT_EQ(Of(out.position), Of(base.position)) << what;
                    if (lighting == LIGHTING_HEMISPHERE) {
                        EXPECT_EQ(Of(out.diffuse), Of(lit.diffuse)) << what;
                    }
                    if (lighting == LIGHTING_DEPTH) {
                        EXPECT_EQ(Of(out.diffuse), Of(depth.diffuse)) << what;
                    }
                    if (texCoord == TEXCOORD_REFLECTION_TOON) {
                        EXPECT_EQ(Of(out.texCoord[0]), Of(reflected.texCoord[0])) << what;
                        EXPECT_EQ(Of(out.texCoord[1]), Of(reflected.texCoord[1])) << what;
                    }
                    if (transform == TRANSFORM_WORLD) {
                        EXPECT_EQ(out.fog, fogged.fog) << what;
                    }
                }
    }
}

TEST(ShaderFragmentsTest, WriteZeroesTheBufferAndTruncates) {
    ShaderKey key;
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(WriteVertexPart(buffer, 8, key), 7u);
    EXPECT_EQ(std::string(buffer), "vs.1.1\n");
    EXPECT_EQ(buffer[8], 'x');  // only `size` bytes are touched

    key.lightingMode = 0x8000;  // no such mode
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(WriteLightingPart(buffer, sizeof buffer, key), 0u);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '\0'));

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(WriteVertexPart(buffer, 0, key), 0u);
    EXPECT_EQ(buffer[0], 'x');
}

TEST(ShaderFragmentsTest, UnknownVertexKindGivesNoProgram) {
    ShaderKey key = Key(3);
    const std::string source = BuildShaderSource(&key);
    std::vector<uint32_t> tokens;
    EXPECT_FALSE(AssembleVertexShader(source, &tokens));
    EXPECT_EQ(GetVertexDeclaration(3), nullptr);
    EXPECT_EQ(GetVertexDeclaration(0), nullptr);
    EXPECT_EQ(GetVertexDeclaration(16), nullptr);
}

TEST(ShaderFragmentsTest, DeclarationsMatchThePackedLayouts) {
    struct Case {
        uint32_t kind;
        uint32_t stride;
        std::vector<std::array<uint32_t, 3>> elements;  // register, type, offset
    };
    const Case cases[] = {
        {VERTEX_PLAIN, 36, {{0, 2, 0}, {1, 2, 12}, {6, 4, 24}, {7, 1, 28}}},
        {VERTEX_MORPH, 60, {{0, 2, 0}, {1, 2, 12}, {2, 2, 24}, {3, 2, 36}, {6, 4, 48}, {7, 1, 52}}},
        {VERTEX_SKINNED, 52, {{0, 2, 0}, {1, 2, 12}, {4, 2, 24}, {5, 4, 36}, {6, 4, 40}, {7, 1, 44}}},
        {VERTEX_SKINNED_MORPH, 76,
         {{0, 2, 0}, {1, 2, 12}, {2, 2, 24}, {3, 2, 36}, {4, 2, 48}, {5, 4, 60}, {6, 4, 64}, {7, 1, 68}}},
    };
    for (const Case& c : cases) {
        vs::VertexDeclaration d;
        ASSERT_TRUE(vs::ParseVertexDeclaration(GetVertexDeclaration(c.kind), 64, &d));
        EXPECT_EQ(d.stride, c.stride) << "kind " << c.kind;
        ASSERT_EQ(d.elements.size(), c.elements.size());
        for (size_t i = 0; i < c.elements.size(); ++i) {
            EXPECT_EQ((std::array<uint32_t, 3>{d.elements[i].reg, d.elements[i].type, d.elements[i].offset}),
                      c.elements[i]) << "kind " << c.kind << " element " << i;
        }
    }
}

// ---------------------------------------------------------------------------
// Vertex parts

TEST(ShaderFragmentsTest, PlainVertexProjectsAndPushesAlongTheNormal) {
    MeshShader shader;
    const Mat wvp = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0.5f, 1, 1, -1, 4, 0};
    shader.SetMatrix(20, wvp, 4);
    MeshVertex v;
    EXPECT_EQ(Of(shader.Run(Key(VERTEX_PLAIN), v).position), (Vec4{3, 5, 5.5f, 3}));
    shader.SetConstant(12, {0, 2, 0, 0});
    EXPECT_EQ(Of(shader.Run(Key(VERTEX_PLAIN), v).position), Transform({1, 4, 3, 1}, wvp));
}

TEST(ShaderFragmentsTest, MorphBlendsPositionAndNormalByC12z) {
    MeshShader shader;
    shader.UseNormalProbe();
    MeshVertex v;
    SetVec3(v.morphPosition, 3, -2, 5);
    SetVec3(v.morphNormal, 1, 0, 0);
    const ShaderKey key = Key(VERTEX_MORPH, LIGHTING_LIGHTS);

    const VertexShaderOutput first = shader.Run(key, v);  // c12 = 0: the first set, unchanged
    EXPECT_EQ(Of(first.position), (Vec4{1, 2, 3, 1}));
    EXPECT_EQ(ProbedNormal(first), (Vec4{0, 1, 0, 0}));

    shader.SetConstant(12, {0, 0, 1, 0});
    const VertexShaderOutput second = shader.Run(key, v);
    EXPECT_EQ(Of(second.position), (Vec4{3, -2, 5, 1}));
    EXPECT_EQ(ProbedNormal(second), (Vec4{1, 0, 0, 0}));

    shader.SetConstant(12, {0, 1, 0.5f, 0});  // halfway, pushed by the blended normal (0.5, 0.5, 0)
    ExpectNear(Of(shader.Run(key, v).position), {2.5f, 0.5f, 4, 1}, "pushed midpoint");
}

struct SkinCase {
    const char* name;
    float weights[2];
    uint8_t bones[4];
    Vec4 position;   // of (1, 2, 3)
    Vec4 normal;     // of (0, 1, 0)
};

class Skinning : public testing::TestWithParam<SkinCase> {};

// Palette: slot 0 moves by (10, 0, 0), slot 1 by (0, 20, 0), slot 2 turns a
// quarter about z and moves by (0, 0, 30), slot 3 scales by 2.
TEST_P(Skinning, BlendsUpToThreeBones) {
    const SkinCase& c = GetParam();
    MeshShader shader;
    shader.UseNormalProbe();
    shader.SetBone(0, Translation(10, 0, 0));
    shader.SetBone(1, Translation(0, 20, 0));
    shader.SetBone(2, QuarterTurnZ(30));
    shader.SetBone(3, Scaling(2));
    MeshVertex v;
    std::memcpy(v.weights, c.weights, sizeof v.weights);
    std::memcpy(v.bones, c.bones, sizeof v.bones);
    const VertexShaderOutput out = shader.Run(Key(VERTEX_SKINNED, LIGHTING_LIGHTS), v);
    ExpectNear(Of(out.position), c.position, c.name);
    ExpectNear(ProbedNormal(out), c.normal, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Bones, Skinning,
    testing::Values(
        // Index byte 2 reads c32..c34; the other two bones weigh 0.
        SkinCase{"one bone", {1, 0}, {2, 0, 0, 0}, {-2, 1, 33, 1}, {-1, 0, 0, 0}},
        SkinCase{"two bones", {0.25f, 0.75f}, {1, 3, 0, 0}, {1.75f, 8.5f, 5.25f, 1}, {0, 1.75f, 0, 0}},
        // The third bone takes 1 - w0 - w1 = 0.25, whatever the index word packed
        // as the third float holds.
        SkinCase{"three bones", {0.5f, 0.25f}, {0, 1, 2, 0}, {5.25f, 6.75f, 10.5f, 1}, {-0.25f, 0.75f, 0, 0}},
        SkinCase{"three bones, high index byte", {0.5f, 0.25f}, {0, 1, 2, 0xFF}, {5.25f, 6.75f, 10.5f, 1},
                 {-0.25f, 0.75f, 0, 0}}));

TEST(ShaderFragmentsTest, SkinnedMorphMorphsBeforeSkinning) {
    MeshShader shader;
    shader.SetBone(2, QuarterTurnZ(30));
    MeshVertex v;
    SetVec3(v.morphPosition, 3, 2, 1);
    v.weights[0] = 1;
    v.bones[0] = 2;
    shader.SetConstant(12, {0, 0, 0.5f, 0});  // morphed (2, 2, 2), then turned and moved
    ExpectNear(Of(shader.Run(Key(VERTEX_SKINNED_MORPH), v).position), {-2, 2, 32, 1}, "morph then skin");
}

// ---------------------------------------------------------------------------
// Lighting parts

TEST(ShaderFragmentsTest, LightingModesWriteTheDiffuseOutput) {
    MeshShader shader;
    const Mat wvp = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0.5f, 1, 1, -1, 4, 0};
    shader.SetMatrix(20, wvp, 4);
    shader.SetConstant(2, {0, 0, 0, 0.2f});
    shader.SetConstant(3, {0, 1, 0, 0});
    shader.SetConstant(4, {0, -1, 0, 0});
    shader.SetConstant(7, {1, 0.5f, 0.25f, 0});
    shader.SetConstant(8, {0.5f, 0.5f, 0.5f, 0});
    shader.SetConstant(10, {0.1f, 0.1f, 0.1f, 0});
    shader.SetConstant(11, {2, 0.5f, 2, 0.5f});
    MeshVertex v;
    v.diffuse = 0x80FF4020;

    struct Case { uint32_t mode; Vec4 expected; };
    const Case cases[] = {
        {LIGHTING_NONE, {1, 1, 1, 1}},
        {LIGHTING_VERTEX_COLOUR, {1, 64 / 255.0f, 32 / 255.0f, 128 / 255.0f}},
        {LIGHTING_DIFFUSE, {2, 0.5f, 2, 0.5f}},
        // Light terms 1.2, -0.8, 0.2, 0.2 give (0.82, 0.22, -0.08); times c11,
        // then at most 1: the negative term is not clamped.
        {LIGHTING_LIGHTS, {1, 0.11f, -0.16f, 0.5f}},
        // d = 1.2 c7, h = 0 (c4 points away), e = c8: min(d e, 1) times c11.
        {LIGHTING_HEMISPHERE, {1.2f, 0.15f, 0.3f, 0.5f}},
        {LIGHTING_DEPTH, {5.5f / 3, 5.5f / 3, 5.5f / 3, 1}},
    };
    for (const Case& c : cases) {
        ExpectNear(Of(shader.Run(Key(VERTEX_PLAIN, c.mode), v).diffuse), c.expected,
                   ("lighting " + std::to_string(c.mode)).c_str());
    }
}

TEST(ShaderFragmentsTest, HemisphereBlendsSkyAndGroundByTheNormal) {
    MeshShader shader;
    shader.SetConstant(2, {0, 0, 0, 0.2f});
    shader.SetConstant(3, {0, 1, 0, 0});
    shader.SetConstant(4, {1, 0, 0, 0});  // across the normal: h = 0.5
    shader.SetConstant(7, {0.5f, 1, 0.25f, 0});
    shader.SetConstant(8, {0.1f, 0.2f, 0.3f, 0});
    shader.SetConstant(11, {1, 0.5f, 2, 0.5f});
    // d = (0.6, 1.2, 0.3), e = (0.3, 0.6, 0.275), d e = (0.18, 0.72, 0.0825)
    ExpectNear(Of(shader.Run(Key(VERTEX_PLAIN, LIGHTING_HEMISPHERE), MeshVertex{}).diffuse),
               {0.18f, 0.36f, 0.165f, 0.5f}, "hemisphere");
}

// ---------------------------------------------------------------------------
// Texture-coordinate parts

enum class Gen { None, Uv, Toon, Stealth, Reflection, Shadow };

struct TexCoordCase {
    uint32_t mode;
    Gen t0, t1;
};

class TexCoordModes : public testing::TestWithParam<TexCoordCase> {};

// The fixture's vertex and constants, and what each generator gives for them.
struct TexCoordScene {
    const Vec4 position{1, 2, 3, 1};
    const Vec4 normal{0, 0.6f, 0.8f, 1};
    const Mat wvp = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0.5f, 1, 1, -1, 4, 0};
    const Mat extra = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0.25f, 2, 3, 4, 1};
    const Vec4 offset{0.125f, -0.25f, 0, 0};
    const Vec4 light{0, 0.6f, -0.8f, 0};
    const Vec4 eye{5, -1, 2, 0};
    const float stealth = 0.5f;

    Vec4 Expected(Gen g) const {
        const Vec4 p = Transform(position, extra);
        const Vec4 clip = Transform(position, wvp);
        const Vec4 n = Transform({normal[0], normal[1], normal[2], 0}, extra);
        switch (g) {
        case Gen::Uv: return {0.25f + offset[0], 0.75f + offset[1], 0, 1};
        case Gen::Toon: {
            const float t = (normal[0] * light[0] + normal[1] * light[1] + normal[2] * light[2] + 1) * 0.5f;
            return {t, t, 0, 1};
        }
        case Gen::Reflection: {
            Vec4 e{eye[0] - p[0], eye[1] - p[1], eye[2] - p[2], 0};
            const float len = std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
            for (int i = 0; i < 3; ++i) e[i] /= len;
            const float ne = n[0] * e[0] + n[1] * e[1] + n[2] * e[2];
            return {(2 * ne * n[0] - e[0]) * 0.5f + 0.5f, (2 * ne * n[1] - e[1]) * -0.5f + 0.5f, 0, 1};
        }
        case Gen::Shadow: return {p[0] / p[3] * 0.5f + 0.5f, p[1] / p[3] * -0.5f + 0.5f, 0, 1};
        case Gen::Stealth:
            return {n[0] * stealth + clip[0] / clip[3] * 0.5f + 0.5f, n[1] * stealth + clip[1] / clip[3] * -0.5f + 0.5f,
                    0, 1};
        case Gen::None: break;
        }
        return {0, 0, 0, 1};
    }
};

TEST_P(TexCoordModes, WriteTheirGeneratorsIntoOt0AndOt1) {
    const TexCoordCase& c = GetParam();
    const TexCoordScene scene;
    MeshShader shader;
    shader.SetMatrix(20, scene.wvp, 4);
    shader.SetMatrix(16, scene.extra, 4);
    shader.SetConstant(1, scene.offset);
    shader.SetConstant(2, scene.eye);
    shader.SetConstant(3, scene.light);
    shader.SetConstant(12, {scene.stealth, 0, 0, 0});
    MeshVertex v;
    std::memcpy(v.normal, scene.normal.data(), 12);
    const VertexShaderOutput out = shader.Run(Key(VERTEX_PLAIN, LIGHTING_NONE, c.mode), v);
    ExpectNear(Of(out.texCoord[0]), scene.Expected(c.t0), "oT0");
    ExpectNear(Of(out.texCoord[1]), scene.Expected(c.t1), "oT1");
    ExpectNear(Of(out.texCoord[2]), {0, 0, 0, 1}, "oT2");
}

INSTANTIATE_TEST_SUITE_P(
    Table, TexCoordModes,
    testing::Values(TexCoordCase{TEXCOORD_UV, Gen::Uv, Gen::None},
                    TexCoordCase{TEXCOORD_TOON_UV, Gen::Toon, Gen::Uv},
                    TexCoordCase{TEXCOORD_STEALTH_UV, Gen::Stealth, Gen::Uv},
                    TexCoordCase{TEXCOORD_REFLECTION_UV, Gen::Reflection, Gen::Uv},
                    TexCoordCase{TEXCOORD_SHADOW_UV, Gen::Shadow, Gen::Uv},
                    TexCoordCase{TEXCOORD_UV_TOON, Gen::Uv, Gen::Toon},
                    TexCoordCase{TEXCOORD_UV_STEALTH, Gen::Uv, Gen::Stealth},
                    TexCoordCase{TEXCOORD_UV_REFLECTION, Gen::Uv, Gen::Reflection},
                    TexCoordCase{TEXCOORD_UV_SHADOW, Gen::Uv, Gen::Shadow},
                    TexCoordCase{TEXCOORD_TOON_REFLECTION, Gen::Toon, Gen::Reflection},
                    TexCoordCase{TEXCOORD_REFLECTION_TOON, Gen::Reflection, Gen::Toon},
                    TexCoordCase{0, Gen::None, Gen::None},
                    TexCoordCase{0x8000, Gen::None, Gen::None}));

// ---------------------------------------------------------------------------
// Transform parts (fog)

TEST(ShaderFragmentsTest, TransformModesDriveTheFog) {
    MeshShader shader;
    const float start = 5, end = 25;
    shader.SetConstant(1, {0, 0, -1 / (end - start), end / (end - start)});
    shader.SetMatrix(13, Translation(0, 0, 10), 3);  // view (or world) = move by 10 along z
    const MeshVertex v;                               // at (1, 2, 3)
    EXPECT_EQ(shader.Run(Key(VERTEX_PLAIN, LIGHTING_NONE, TEXCOORD_UV, TRANSFORM_PLAIN), v).fog, 1.0f);
    EXPECT_NEAR(shader.Run(Key(VERTEX_PLAIN, LIGHTING_NONE, TEXCOORD_UV, TRANSFORM_VIEW), v).fog,
                (end - 13) / (end - start), 1e-6f);
    EXPECT_NEAR(shader.Run(Key(VERTEX_PLAIN, LIGHTING_NONE, TEXCOORD_UV, TRANSFORM_WORLD), v).fog,
                (end - std::sqrt(174.0f)) / (end - start), 1e-6f);

    shader.SetMatrix(13, Translation(-1, -2, -3), 3);  // at the world origin: distance 0, not NaN
    EXPECT_NEAR(shader.Run(Key(VERTEX_PLAIN, LIGHTING_NONE, TEXCOORD_UV, TRANSFORM_WORLD), v).fog,
                end / (end - start), 1e-6f);
}

}  // namespace
