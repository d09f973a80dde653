#pragma once
#include <cstdint>
#include <string_view>

// The Direct3D 8 vertex shader token stream (vs.1.1): a version token, one
// instruction token per instruction followed by its destination and source
// parameter tokens, and an end token. Shared by the assembler, which writes
// it, and the interpreter, which reads it.

namespace vs {

constexpr uint32_t kVersion11 = 0xFFFE0101u;
constexpr uint32_t kVersion10 = 0xFFFE0100u;
constexpr uint32_t kEndToken = 0x0000FFFFu;
constexpr uint32_t kCommentOpcode = 0xFFFEu;  // (length << 16) | 0xFFFE, then `length` words

constexpr int kTempCount = 12;       // r0..r11
constexpr int kInputCount = 16;      // v0..v15
constexpr int kConstantCount = 96;   // c0..c95, as the device reports
constexpr int kTexCoordCount = 8;    // oT0..oT7
constexpr int kColourCount = 2;      // oD0, oD1

enum Opcode : uint32_t {
    OP_NOP = 0, OP_MOV = 1, OP_ADD = 2, OP_SUB = 3, OP_MAD = 4, OP_MUL = 5, OP_RCP = 6, OP_RSQ = 7,
    OP_DP3 = 8, OP_DP4 = 9, OP_MIN = 10, OP_MAX = 11, OP_SLT = 12, OP_SGE = 13, OP_EXP = 14, OP_LOG = 15,
    OP_LIT = 16, OP_DST = 17, OP_FRC = 19, OP_M4x4 = 20, OP_M4x3 = 21, OP_M3x4 = 22, OP_M3x3 = 23,
    OP_M3x2 = 24, OP_EXPP = 78, OP_LOGP = 79,
};

enum RegisterType : uint32_t {
    REG_TEMP = 0, REG_INPUT = 1, REG_CONST = 2, REG_ADDR = 3, REG_RASTOUT = 4, REG_ATTROUT = 5,
    REG_TEXCRDOUT = 6,
};
// Numbers within REG_RASTOUT.
enum : uint32_t { RASTOUT_POSITION = 0, RASTOUT_FOG = 1, RASTOUT_POINT_SIZE = 2 };

// Parameter token fields.
constexpr uint32_t kParamBit = 0x80000000u;
constexpr int kTypeShift = 28;
constexpr uint32_t kTypeMask = 0x70000000u;
constexpr int kWriteMaskShift = 16;
constexpr uint32_t kWriteMaskAll = 0xFu;
constexpr int kSwizzleShift = 16;
constexpr uint32_t kSwizzleIdentity = 0xE4u;  // x y z w, two bits per component, x lowest
constexpr int kModifierShift = 24;
constexpr uint32_t kModifierNegate = 1u;
constexpr uint32_t kRelativeBit = 0x2000u;   // source indexed by a0.x
constexpr uint32_t kRegisterNumberMask = 0x7FFu;

constexpr uint32_t DestinationToken(RegisterType type, uint32_t number, uint32_t writeMask) {
    return kParamBit | (static_cast<uint32_t>(type) << kTypeShift) | (writeMask << kWriteMaskShift) | number;
}
constexpr uint32_t SourceToken(RegisterType type, uint32_t number, uint32_t swizzle, bool negate, bool relative) {
    return kParamBit | (static_cast<uint32_t>(type) << kTypeShift) | ((negate ? kModifierNegate : 0u) << kModifierShift) |
           (swizzle << kSwizzleShift) | (relative ? kRelativeBit : 0u) | number;
}

// How an instruction reads its operands.
enum class OpKind {
    None,       // nop
    Vector,     // per component
    Scalar,     // reads the last component of the swizzled source (w after the swizzle)
    Dot,        // dp3 / dp4: the product sum in every component
    Matrix,     // m4x4 and its kin: one dot product per row of consecutive registers
    Special,    // lit, dst, expp, logp: their own component rules
};

struct OpcodeInfo {
    std::string_view name;
    Opcode opcode;
    int sourceCount;
    OpKind kind;
    int dotSize;   // components summed per dot product (dp3, dp4, matrix rows)
    int rows;      // matrix rows, i.e. components written
};

// Every vs.1.1 instruction; null when the opcode is none of them.
const OpcodeInfo* FindOpcode(uint32_t opcode);
const OpcodeInfo* FindOpcode(std::string_view lowerCaseName);

}  // namespace vs
