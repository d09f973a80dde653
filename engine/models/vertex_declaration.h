#pragma once
#include "engine/models/vertex_shader_tokens.h"
#include "platform/vertex_declaration.h"

// The engine's shaders use the device's own declaration reader, so what the
// engine builds and what the device loads cannot drift apart.
namespace vs {

using gpu::DeclType;
using gpu::DECL_FLOAT1;
using gpu::DECL_FLOAT2;
using gpu::DECL_FLOAT3;
using gpu::DECL_FLOAT4;
using gpu::DECL_D3DCOLOR;
using gpu::DECL_UBYTE4;
using gpu::DECL_SHORT2;
using gpu::DECL_SHORT4;
using gpu::DeclStream;
using gpu::DeclRegister;
using gpu::DeclSkip;
using gpu::kDeclEnd;
using gpu::VertexElement;
using gpu::VertexDeclaration;
using gpu::ParseVertexDeclaration;
using gpu::LoadVertexInputs;
static_assert(gpu::kShaderInputCount == kInputCount);

}  // namespace vs
