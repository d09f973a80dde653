#include "engine/models/vertex_declaration.h"

#include <cstring>

namespace vs {
namespace {

enum TokenKind : uint32_t { TOKEN_NOP = 0, TOKEN_STREAM = 1, TOKEN_STREAMDATA = 2, TOKEN_CONSTMEM = 4,
                            TOKEN_EXT = 5, TOKEN_END = 7 };

constexpr uint32_t kDataLoadBit = 1u << 28;  // in STREAMDATA: a skip instead of a register load

uint32_t TypeSize(uint32_t type) {
    static constexpr uint32_t kSizes[8] = {4, 8, 12, 16, 4, 4, 4, 8};
    return type < 8 ? kSizes[type] : 0;
}

}  // namespace

bool ParseVertexDeclaration(const uint32_t* tokens, size_t maxTokens, VertexDeclaration* out) {
    VertexDeclaration result;
    for (size_t at = 0; tokens && at < maxTokens; ++at) {
        const uint32_t token = tokens[at];
        switch (token >> 29) {
        case TOKEN_END:
            if (token != kDeclEnd) return false;
            *out = std::move(result);
            return true;
        case TOKEN_NOP:
            break;
        case TOKEN_STREAM:
            if ((token & 0x1FFFFFFFu) != 0) return false;  // stream 0 only, no tessellator stream
            break;
        case TOKEN_STREAMDATA:
            if (token & kDataLoadBit) {
                result.stride += 4 * ((token >> 16) & 0xF);
            } else {
                const uint32_t reg = token & 0x1F, type = (token >> 16) & 0xF;
                if (reg >= kInputCount || TypeSize(type) == 0) return false;
                result.elements.push_back({reg, static_cast<DeclType>(type), result.stride});
                result.stride += TypeSize(type);
            }
            break;
        case TOKEN_CONSTMEM:
            at += 4 * ((token >> 25) & 0xF);
            break;
        case TOKEN_EXT:
            at += (token >> 24) & 0x1F;
            break;
        default:
            return false;
        }
    }
    return false;  // no end token
}

void LoadVertexInputs(const VertexDeclaration& declaration, const uint8_t* vertex, float inputs[kInputCount][4]) {
    for (const VertexElement& e : declaration.elements) {
        const uint8_t* p = vertex + e.offset;
        float* v = inputs[e.reg];
        v[0] = v[1] = v[2] = 0.0f;
        v[3] = 1.0f;
        switch (e.type) {
        case DECL_FLOAT1: case DECL_FLOAT2: case DECL_FLOAT3: case DECL_FLOAT4:
            std::memcpy(v, p, TypeSize(e.type));
            break;
        case DECL_D3DCOLOR:
            v[0] = p[2] / 255.0f;
            v[1] = p[1] / 255.0f;
            v[2] = p[0] / 255.0f;
            v[3] = p[3] / 255.0f;
            break;
        case DECL_UBYTE4:
            for (int i = 0; i < 4; ++i) v[i] = p[i];
            break;
        case DECL_SHORT2: case DECL_SHORT4: {
            int16_t s[4] = {0, 0, 0, 1};
            std::memcpy(s, p, TypeSize(e.type));
            for (int i = 0; i < 4; ++i) v[i] = s[i];
            break;
        }
        }
    }
}

}  // namespace vs
