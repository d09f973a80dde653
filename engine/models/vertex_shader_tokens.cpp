#include "engine/models/vertex_shader_tokens.h"

#include <array>

namespace vs {
namespace {

constexpr std::array<OpcodeInfo, 26> kOpcodes = {{
    {"nop", OP_NOP, 0, OpKind::None, 0, 0},
    {"mov", OP_MOV, 1, OpKind::Vector, 0, 0},
    {"add", OP_ADD, 2, OpKind::Vector, 0, 0},
    {"sub", OP_SUB, 2, OpKind::Vector, 0, 0},
    {"mad", OP_MAD, 3, OpKind::Vector, 0, 0},
    {"mul", OP_MUL, 2, OpKind::Vector, 0, 0},
    {"rcp", OP_RCP, 1, OpKind::Scalar, 0, 0},
    {"rsq", OP_RSQ, 1, OpKind::Scalar, 0, 0},
    {"dp3", OP_DP3, 2, OpKind::Dot, 3, 0},
    {"dp4", OP_DP4, 2, OpKind::Dot, 4, 0},
    {"min", OP_MIN, 2, OpKind::Vector, 0, 0},
    {"max", OP_MAX, 2, OpKind::Vector, 0, 0},
    {"slt", OP_SLT, 2, OpKind::Vector, 0, 0},
    {"sge", OP_SGE, 2, OpKind::Vector, 0, 0},
    {"exp", OP_EXP, 1, OpKind::Scalar, 0, 0},
    {"log", OP_LOG, 1, OpKind::Scalar, 0, 0},
    {"lit", OP_LIT, 1, OpKind::Special, 0, 0},
    {"dst", OP_DST, 2, OpKind::Special, 0, 0},
    {"frc", OP_FRC, 1, OpKind::Vector, 0, 0},
    {"m4x4", OP_M4x4, 2, OpKind::Matrix, 4, 4},
    {"m4x3", OP_M4x3, 2, OpKind::Matrix, 4, 3},
    {"m3x4", OP_M3x4, 2, OpKind::Matrix, 3, 4},
    {"m3x3", OP_M3x3, 2, OpKind::Matrix, 3, 3},
    {"m3x2", OP_M3x2, 2, OpKind::Matrix, 3, 2},
    {"expp", OP_EXPP, 1, OpKind::Special, 0, 0},
    {"logp", OP_LOGP, 1, OpKind::Special, 0, 0},
}};

}  // namespace

const OpcodeInfo* FindOpcode(uint32_t opcode) {
    for (const OpcodeInfo& info : kOpcodes) {
        if (info.opcode == opcode) return &info;
    }
    return nullptr;
}

const OpcodeInfo* FindOpcode(std::string_view lowerCaseName) {
    for (const OpcodeInfo& info : kOpcodes) {
        if (info.name == lowerCaseName) return &info;
    }
    return nullptr;
}

}  // namespace vs
