#include "engine/models/shader_fragments.h"

#include "engine/models/vertex_declaration.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

using vs::DeclRegister;

// ---------------------------------------------------------------------------
// Vertex parts. Each leaves r0, r1 and r2 as the header describes and writes
// oPos.

constexpr std::string_view kLoadPlain =
    "vs.1.1\n"
    "\t; vertex: position and normal as stored\n"
    "\tmov r0, v0\n"
    "\tmov r2, v1\n";

constexpr std::string_view kLoadMorph =
    "vs.1.1\n"
    "\t; vertex: blend toward the morph target by c12.z\n"
    "\tmov r0, v0\n"
    "\tadd r3, v2, -r0\n"
    "\tmad r0, r3, c12.z, r0\n"
    "\tmov r2, v1\n"
    "\tadd r3, v3, -r2\n"
    "\tmad r2, r3, c12.z, r2\n";

// Three bones whose palette slots are the index bytes 0, 1 and 2 (v5 holds
// them as B, G, R, so .zyx); c0.w = 765.01 turns byte / 255 into 3 * byte.
// The third bone takes the weight the first two leave.
constexpr std::string_view kSkin =
    "\t; skin: three bones, the third weighted 1 - w0 - w1\n"
    "\tmul r3, v5.zyxw, c0.w\n"
    "\tmov a0.x, r3.x\n"
    "\tm4x3 r4.xyz, r0, c[a0.x + 26]\n"
    "\tm3x3 r5.xyz, r2, c[a0.x + 26]\n"
    "\tmul r6.xyz, r4, v4.x\n"
    "\tmul r7.xyz, r5, v4.x\n"
    "\tmov a0.x, r3.y\n"
    "\tm4x3 r4.xyz, r0, c[a0.x + 26]\n"
    "\tm3x3 r5.xyz, r2, c[a0.x + 26]\n"
    "\tmad r6.xyz, r4, v4.y, r6\n"
    "\tmad r7.xyz, r5, v4.y, r7\n"
    "\tadd r8.x, v4.x, v4.y\n"
    "\tadd r8.x, c0.z, -r8.x\n"
    "\tmov a0.x, r3.z\n"
    "\tm4x3 r4.xyz, r0, c[a0.x + 26]\n"
    "\tm3x3 r5.xyz, r2, c[a0.x + 26]\n"
    "\tmad r0.xyz, r4, r8.x, r6\n"
    "\tmad r2.xyz, r5, r8.x, r7\n";

constexpr std::string_view kProject =
    "\t; push along the normal by c12.y, then project\n"
    "\tmad r0.xyz, r2, c12.y, r0\n"
    "\tm4x4 r1, r0, c20\n"
    "\tmov oPos, r1\n";

// The morphed kind also adds c12.w to w (0 as meshes set it).
constexpr std::string_view kProjectMorph =
    "\t; push along the normal by c12.y, then project\n"
    "\tmad r0, r2, c12.yyyw, r0\n"
    "\tm4x4 r1, r0, c20\n"
    "\tmov oPos, r1\n";

// ---------------------------------------------------------------------------
// Lighting parts: oD0.

constexpr std::string_view kLightingNone =
    "\t; lighting: none\n"
    "\tmov oD0, c0.z\n";

constexpr std::string_view kLightingVertexColour =
    "\t; lighting: vertex colour\n"
    "\tmov oD0, v6\n";

constexpr std::string_view kLightingDiffuse =
    "\t; lighting: material diffuse\n"
    "\tmov oD0, c11\n";

constexpr std::string_view kLightingLights =
    "\t; lighting: four directional lights, biased by c2.w\n"
    "\tdp3 r4.x, r2, c3\n"
    "\tdp3 r4.y, r2, c4\n"
    "\tdp3 r4.z, r2, c5\n"
    "\tdp3 r4.w, r2, c6\n"
    "\tadd r4, r4, c2.w\n"
    "\tmul r5.xyz, c7, r4.x\n"
    "\tmad r5.xyz, c8, r4.y, r5\n"
    "\tmad r5.xyz, c9, r4.z, r5\n"
    "\tmad r5.xyz, c10, r4.w, r5\n"
    "\tmov r5.w, c0.z\n"
    "\tmul r5, r5, c11\n"
    "\tmin oD0, r5, c0.z\n";

constexpr std::string_view kLightingHemisphere =
    "\t; lighting: light 0 under a sky (c7) and ground (c8) hemisphere about c4\n"
    "\tdp3 r4.x, r2, c3\n"
    "\tadd r4.x, r4.x, c2.w\n"
    "\tmul r5.xyz, c7, r4.x\n"
    "\tdp3 r4.y, r2, c4\n"
    "\tmad r4.y, r4.y, c0.x, c0.x\n"
    "\tmov r6, c8\n"
    "\tadd r6.xyz, c7, -r6\n"
    "\tmad r6.xyz, r6, r4.y, c8\n"
    "\tmul r5.xyz, r5, r6\n"
    "\tmin r5.xyz, r5, c0.z\n"
    "\tmov r5.w, c0.z\n"
    "\tmul oD0, r5, c11\n";

constexpr std::string_view kLightingDepth =
    "\t; lighting: depth picture\n"
    "\trcp r4.w, r1.w\n"
    "\tmul oD0.xyz, r1.z, r4.w\n"
    "\tmov oD0.w, c0.z\n";

// ---------------------------------------------------------------------------
// Texture-coordinate generators; '#' stands for the output's number.

constexpr std::string_view kGenUv =
    "\t; texture coordinates: uv plus the offset\n"
    "\tadd oT#.xy, v7, c1\n";

constexpr std::string_view kGenToon =
    "\t; texture coordinates: toon shade of light c3\n"
    "\tdp3 r7.x, r2, c3\n"
    "\tadd r7.x, r7.x, c0.z\n"
    "\tmul oT#.xy, r7.x, c0.x\n";

constexpr std::string_view kGenReflection =
    "\t; texture coordinates: reflection of the eye about the normal\n"
    "\tm4x4 r7, r0, c16\n"
    "\tm3x3 r8.xyz, r2, c16\n"
    "\tadd r9.xyz, c2, -r7\n"
    "\tdp3 r9.w, r9, r9\n"
    "\trsq r9.w, r9.w\n"
    "\tmul r9.xyz, r9, r9.w\n"
    "\tdp3 r10.x, r8, r9\n"
    "\tadd r10.x, r10.x, r10.x\n"
    "\tmad r11.xyz, r8, r10.x, -r9\n"
    "\tmad oT#.xy, r11, c0.xy, c0.x\n";

constexpr std::string_view kGenShadow =
    "\t; texture coordinates: shadow map projection\n"
    "\tm4x4 r7, r0, c16\n"
    "\trcp r8.x, r7.w\n"
    "\tmul r7.xy, r7, r8.x\n"
    "\tmad oT#.xy, r7, c0.xy, c0.x\n";

constexpr std::string_view kGenStealth =
    "\t; texture coordinates: screen place shifted by the normal\n"
    "\trcp r7.x, r1.w\n"
    "\tmul r7.xy, r1, r7.x\n"
    "\tmad r7.xy, r7, c0.xy, c0.x\n"
    "\tm3x2 r8.xy, r2, c16\n"
    "\tmad oT#.xy, r8, c12.x, r7\n";

// ---------------------------------------------------------------------------
// Transform parts: oFog.

constexpr std::string_view kTransformView =
    "\t; fog: linear by view depth\n"
    "\tdp4 r7.x, r0, c15\n"
    "\tmad oFog.x, r7.x, c1.z, c1.w\n";

// Linear by the distance from the world origin: |p| taken as 1 / rsq(|p|^2),
// which stays 0 at the origin.
constexpr std::string_view kTransformWorld =
    "\t; fog: linear by world distance\n"
    "\tdp4 r7.x, r0, c13\n"
    "\tdp4 r7.y, r0, c14\n"
    "\tdp4 r7.z, r0, c15\n"
    "\tdp3 r7.w, r7, r7\n"
    "\trsq r8.x, r7.w\n"
    "\trcp r8.x, r8.x\n"
    "\tmad oFog.x, r8.x, c1.z, c1.w\n";

// ---------------------------------------------------------------------------

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view p : parts) text += p;
    return text;
}

std::string Generator(std::string_view text, char output) {
    std::string result(text);
    std::replace(result.begin(), result.end(), '#', output);
    return result;
}

struct Fragment {
    uint32_t word;
    std::string text;
};

struct FragmentTables {
    std::vector<Fragment> vertex, lighting, texCoord, transform;
};

std::string TexCoords(std::string_view first, std::string_view second) {
    return Generator(first, '0') + (second.empty() ? std::string() : Generator(second, '1'));
}

const FragmentTables& Tables() {
    static const FragmentTables tables = {
        {
            {VERTEX_PLAIN, Join({kLoadPlain, kProject})},
            {VERTEX_MORPH, Join({kLoadMorph, kProjectMorph})},
            {VERTEX_SKINNED, Join({kLoadPlain, kSkin, kProject})},
            {VERTEX_SKINNED_MORPH, Join({kLoadMorph, kSkin, kProject})},
        },
        {
            {LIGHTING_NONE, std::string(kLightingNone)},
            {LIGHTING_VERTEX_COLOUR, std::string(kLightingVertexColour)},
            {LIGHTING_DIFFUSE, std::string(kLightingDiffuse)},
            {LIGHTING_LIGHTS, std::string(kLightingLights)},
            {LIGHTING_HEMISPHERE, std::string(kLightingHemisphere)},
            {LIGHTING_DEPTH, std::string(kLightingDepth)},
        },
        {
            {TEXCOORD_UV, TexCoords(kGenUv, {})},
            {TEXCOORD_TOON_UV, TexCoords(kGenToon, kGenUv)},
            {TEXCOORD_STEALTH_UV, TexCoords(kGenStealth, kGenUv)},
            {TEXCOORD_REFLECTION_UV, TexCoords(kGenReflection, kGenUv)},
            {TEXCOORD_SHADOW_UV, TexCoords(kGenShadow, kGenUv)},
            {TEXCOORD_UV_TOON, TexCoords(kGenUv, kGenToon)},
            {TEXCOORD_UV_STEALTH, TexCoords(kGenUv, kGenStealth)},
            {TEXCOORD_UV_REFLECTION, TexCoords(kGenUv, kGenReflection)},
            {TEXCOORD_UV_SHADOW, TexCoords(kGenUv, kGenShadow)},
            {TEXCOORD_TOON_REFLECTION, TexCoords(kGenToon, kGenReflection)},
            {TEXCOORD_REFLECTION_TOON, TexCoords(kGenReflection, kGenToon)},
        },
        {
            {TRANSFORM_PLAIN, std::string()},
            {TRANSFORM_VIEW, std::string(kTransformView)},
            {TRANSFORM_WORLD, std::string(kTransformWorld)},
        },
    };
    return tables;
}

uint32_t WritePart(char* out, uint32_t size, const std::vector<Fragment>& table, uint32_t word) {
    if (size == 0) return 0;
    std::memset(out, 0, size);
    const auto found = std::find_if(table.begin(), table.end(), [word](const Fragment& f) { return f.word == word; });
    if (found == table.end()) return 0;
    const uint32_t count = static_cast<uint32_t>(std::min<size_t>(found->text.size(), size - 1));
    std::memcpy(out, found->text.data(), count);
    return count;
}

constexpr uint32_t kStream0 = vs::DeclStream(0);
constexpr uint32_t kDeclPlain[] = {
    kStream0, DeclRegister(0, vs::DECL_FLOAT3), DeclRegister(1, vs::DECL_FLOAT3),
    DeclRegister(6, vs::DECL_D3DCOLOR), DeclRegister(7, vs::DECL_FLOAT2), vs::kDeclEnd,
};
constexpr uint32_t kDeclMorph[] = {
    kStream0, DeclRegister(0, vs::DECL_FLOAT3), DeclRegister(1, vs::DECL_FLOAT3), DeclRegister(2, vs::DECL_FLOAT3),
    DeclRegister(3, vs::DECL_FLOAT3), DeclRegister(6, vs::DECL_D3DCOLOR), DeclRegister(7, vs::DECL_FLOAT2), vs::kDeclEnd,
};
constexpr uint32_t kDeclSkinned[] = {
    kStream0, DeclRegister(0, vs::DECL_FLOAT3), DeclRegister(1, vs::DECL_FLOAT3), DeclRegister(4, vs::DECL_FLOAT3),
    DeclRegister(5, vs::DECL_D3DCOLOR), DeclRegister(6, vs::DECL_D3DCOLOR), DeclRegister(7, vs::DECL_FLOAT2), vs::kDeclEnd,
};
constexpr uint32_t kDeclSkinnedMorph[] = {
    kStream0, DeclRegister(0, vs::DECL_FLOAT3), DeclRegister(1, vs::DECL_FLOAT3), DeclRegister(2, vs::DECL_FLOAT3),
    DeclRegister(3, vs::DECL_FLOAT3), DeclRegister(4, vs::DECL_FLOAT3), DeclRegister(5, vs::DECL_D3DCOLOR),
    DeclRegister(6, vs::DECL_D3DCOLOR), DeclRegister(7, vs::DECL_FLOAT2), vs::kDeclEnd,
};

}  // namespace

uint32_t WriteVertexPart(char* out, uint32_t size, const ShaderKey& key) {
    return WritePart(out, size, Tables().vertex, key.vertexKind);
}

uint32_t WriteLightingPart(char* out, uint32_t size, const ShaderKey& key) {
    return WritePart(out, size, Tables().lighting, key.lightingMode);
}

uint32_t WriteTexCoordPart(char* out, uint32_t size, const ShaderKey& key) {
    return WritePart(out, size, Tables().texCoord, key.texCoordMode);
}

uint32_t WriteTransformPart(char* out, uint32_t size, const ShaderKey& key) {
    return WritePart(out, size, Tables().transform, key.transformMode);
}

std::string BuildShaderSource(ShaderKey* key) {
    using Writer = uint32_t (*)(char*, uint32_t, const ShaderKey&);
    constexpr Writer kParts[] = {WriteVertexPart, WriteLightingPart, WriteTexCoordPart, WriteTransformPart};
    constexpr uint32_t kFragmentBufferSize = 4096;
    char fragment[kFragmentBufferSize];
    std::string text;
    for (Writer write : kParts) {
        const uint32_t count = write(fragment, kFragmentBufferSize, *key);
        text.append(fragment, count);
    }
    key->shaderKey = key->vertexKind | key->lightingMode | key->texCoordMode | key->transformMode;
    return text;
}

const uint32_t* GetVertexDeclaration(uint32_t vertexKind) {
    switch (vertexKind) {
    case VERTEX_PLAIN: return kDeclPlain;
    case VERTEX_MORPH: return kDeclMorph;
    case VERTEX_SKINNED: return kDeclSkinned;
    case VERTEX_SKINNED_MORPH: return kDeclSkinnedMorph;
    default: return nullptr;
    }
}
