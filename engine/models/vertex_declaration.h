#pragma once
#include "engine/models/vertex_shader_tokens.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Direct3D 8 vertex shader declarations: the DWORD tokens that say which
// bytes of a vertex stream load which input register v0..v15, and how.

namespace vs {

enum DeclType : uint32_t {
    DECL_FLOAT1 = 0, DECL_FLOAT2 = 1, DECL_FLOAT3 = 2, DECL_FLOAT4 = 3, DECL_D3DCOLOR = 4,
    DECL_UBYTE4 = 5, DECL_SHORT2 = 6, DECL_SHORT4 = 7,
};

constexpr uint32_t DeclStream(uint32_t stream) { return (1u << 29) | stream; }
constexpr uint32_t DeclRegister(uint32_t reg, DeclType type) { return (2u << 29) | (static_cast<uint32_t>(type) << 16) | reg; }
constexpr uint32_t DeclSkip(uint32_t dwords) { return (2u << 29) | (1u << 28) | (dwords << 16); }
constexpr uint32_t kDeclEnd = 0xFFFFFFFFu;

struct VertexElement {
    uint32_t reg;
    DeclType type;
    uint32_t offset;  // bytes from the start of the vertex
};

struct VertexDeclaration {
    std::vector<VertexElement> elements;
    uint32_t stride = 0;  // bytes the declared elements and skips cover
};

// Reads a declaration up to its end token, never past `maxTokens` words.
// Only stream 0 is accepted; constant-memory and extension tokens are
// stepped over. False for anything else (another stream, the tessellator,
// an unknown type, a register above v15).
bool ParseVertexDeclaration(const uint32_t* tokens, size_t maxTokens, VertexDeclaration* out);

// Loads the inputs of one vertex: FLOATn as (x, y, z, w) with missing
// components (0, 0, 0, 1); D3DCOLOR as Direct3D expands it, the bytes B, G, R,
// A in memory giving (R, G, B, A) / 255; UBYTE4 and SHORTn unnormalised.
// Registers the declaration does not name are left as they are.
void LoadVertexInputs(const VertexDeclaration& declaration, const uint8_t* vertex, float inputs[kInputCount][4]);

}  // namespace vs
