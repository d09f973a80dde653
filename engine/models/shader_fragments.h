#pragma once
#include <cstdint>
#include <string>

// The vs.1.1 source of every mesh vertex shader is joined from four
// fragments, one per word of the mesh's shader key: the vertex part (by
// vertex kind), the lighting part (MeshLightingMode), the texture-coordinate
// part and the transform part (MeshTransformMode, which drives the fog).
//
// Registers the fragments pass on: r0 = the final model-space position
// (w = 1), r1 = the clip-space position, r2 = the model-space normal.
// Constants they read (set by mesh drawing):
//   c0 = (0.5, -0.5, 1.0, 765.01)       c1 = (tex offset u, v, fog scale, fog offset)
//   c2 = (camera position, light bias)   c3..c6 light directions, c7..c10 light colours
//   c11 = material diffuse               c12 = (stealth strength, push, morph weight, 0)
//   c13..c15 fog rows                    c16..c19 the texture-coordinate matrix
//   c20..c23 world-view-projection       c26 on: bone matrices, three rows each

enum VertexKind : uint32_t {
    VERTEX_PLAIN = 0x1,           // v0 position, v1 normal, v6 diffuse, v7 uv
    VERTEX_MORPH = 0x2,           // plus v2, v3: the morph target's position and normal
    VERTEX_SKINNED = 0x4,         // plus v4 bone weights, v5 bone index bytes
    VERTEX_SKINNED_MORPH = 0x8,   // both
};

enum MeshLightingMode : uint32_t {
    LIGHTING_NONE = 256,
    LIGHTING_VERTEX_COLOUR = 512,
    LIGHTING_DIFFUSE = 1024,
    LIGHTING_LIGHTS = 2048,
    LIGHTING_HEMISPHERE = 4096,
    LIGHTING_DEPTH = 8192,
};

enum TexCoordMode : uint32_t {
    TEXCOORD_UV = 0x10000,
    TEXCOORD_TOON_UV = 0x20000,
    TEXCOORD_STEALTH_UV = 0x40000,
    TEXCOORD_REFLECTION_UV = 0x80000,
    TEXCOORD_SHADOW_UV = 0x100000,
    TEXCOORD_UV_TOON = 0x200000,
    TEXCOORD_UV_STEALTH = 0x400000,
    TEXCOORD_UV_REFLECTION = 0x800000,
    TEXCOORD_UV_SHADOW = 0x1000000,
    TEXCOORD_TOON_REFLECTION = 0x2000000,
    TEXCOORD_REFLECTION_TOON = 0x4000000,
};

enum MeshTransformMode : uint32_t {
    TRANSFORM_PLAIN = 0x10000000,
    TRANSFORM_VIEW = 0x20000000,
    TRANSFORM_WORLD = 0x40000000,
};

// The five key words of a mesh, in this order. The four value sets occupy
// disjoint bits, so `shaderKey`, their OR, names the combination.
struct ShaderKey {
    uint32_t vertexKind = VERTEX_PLAIN;
    uint32_t lightingMode = LIGHTING_LIGHTS;
    uint32_t texCoordMode = TEXCOORD_UV;
    uint32_t transformMode = TRANSFORM_PLAIN;
    uint32_t shaderKey = 0;
};

// Each Write operation zeroes `size` bytes of `out` and copies in the
// fragment for its key word, at most size - 1 characters; it returns the
// number copied. A word outside the table copies nothing (0), and so does a
// size of 0, which leaves `out` untouched.
uint32_t WriteVertexPart(char* out, uint32_t size, const ShaderKey& key);
uint32_t WriteLightingPart(char* out, uint32_t size, const ShaderKey& key);
uint32_t WriteTexCoordPart(char* out, uint32_t size, const ShaderKey& key);
uint32_t WriteTransformPart(char* out, uint32_t size, const ShaderKey& key);

// Joins the four parts in the order vertex, lighting, texture coordinates,
// transform (each through a 4096-byte fragment buffer) and writes the OR of
// the four words into key->shaderKey.
std::string BuildShaderSource(ShaderKey* key);

// The stream declaration of a vertex kind (strides 36, 60, 52 and 76), or
// null for any other value.
const uint32_t* GetVertexDeclaration(uint32_t vertexKind);
