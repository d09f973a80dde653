#include "engine/models/vertex_shader_asm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint32_t> Assemble(const std::string& source) {
    std::vector<uint32_t> tokens;
    std::string error;
    EXPECT_TRUE(AssembleVertexShader(source, &tokens, &error)) << error << "\n" << source;
    return tokens;
}

// The tokens of the instructions after a prologue, without version and end.
std::vector<uint32_t> Body(const std::string& prologue, const std::string& line) {
    const std::vector<uint32_t> whole = Assemble("vs.1.1\n" + prologue + line + "\n");
    const std::vector<uint32_t> before = Assemble("vs.1.1\n" + prologue);
    if (whole.size() < before.size()) return {};
    return std::vector<uint32_t>(whole.begin() + static_cast<long>(before.size()) - 1, whole.end() - 1);
}

TEST(VertexShaderAsmTest, WholeProgramHasVersionInstructionsAndEnd) {
    EXPECT_EQ(Assemble("vs.1.1\nmov oPos, v0\n"),
              (std::vector<uint32_t>{0xFFFE0101, 0x00000001, 0xC00F0000, 0x90E40000, 0x0000FFFF}));
    // Comments, blank lines, tabs, upper case and the other version spellings.
    EXPECT_EQ(Assemble("; heading\n\n  VS_1_1 // version\n\tMOV\toPos ,  V0 ; position\n"),
              (std::vector<uint32_t>{0xFFFE0101, 0x00000001, 0xC00F0000, 0x90E40000, 0x0000FFFF}));
    EXPECT_EQ(Assemble("vs.1.0\nnop\n"), (std::vector<uint32_t>{0xFFFE0100, 0x00000000, 0x0000FFFF}));
}

// The engine's scene shader: commented headings, tabs, bracketed constants.
TEST(VertexShaderAsmTest, SceneShaderText) {
    const char* text =
        "vs.1.1\n"
        "//----- position\n\tm4x4\toPos,\tv0,\tc[0]\n"
        "//----- colour\n\tmul\toD0,\tv1,\tc[4]\n"
        "//----- texture\n\tmov\toT0,\tv2\n";
    EXPECT_EQ(Assemble(text), (std::vector<uint32_t>{0xFFFE0101, 0x14, 0xC00F0000, 0x90E40000, 0xA0E40000, 0x05,
                                                     0xD00F0000, 0x90E40001, 0xA0E40004, 0x01, 0xE00F0000,
                                                     0x90E40002, 0x0000FFFF}));
}

struct TokenCase {
    const char* prologue;
    const char* line;
    std::vector<uint32_t> tokens;
};

class InstructionTokens : public testing::TestWithParam<TokenCase> {};

TEST_P(InstructionTokens, EncodeAsDirect3D) {
    const TokenCase& c = GetParam();
    EXPECT_EQ(Body(c.prologue, c.line), c.tokens) << c.line;
}

constexpr const char* kR0toR3 = "mov r0, v0\nmov r1, v1\nmov r2, v2\nmov r3, v3\n";

INSTANTIATE_TEST_SUITE_P(
    Forms, InstructionTokens,
    testing::Values(
        // Operand forms: register files, outputs, masks, swizzles, negation, relative constants.
        TokenCase{"", "mov r11, v15", {0x01, 0x800F000B, 0x90E4000F}},
        TokenCase{"", "mov oD1, v6.bgra", {0x01, 0xD00F0001, 0x90C60006}},
        TokenCase{"", "mov oT7.xy, v7", {0x01, 0xE0030007, 0x90E40007}},
        TokenCase{"", "mov oFog.x, c1.z", {0x01, 0xC0010001, 0xA0AA0001}},
        TokenCase{"", "mov oPts.x, c95.w", {0x01, 0xC0010002, 0xA0FF005F}},
        TokenCase{"", "mov r0.yw, v0.xy", {0x01, 0x800A0000, 0x90540000}},
        TokenCase{kR0toR3, "add r0.xy, -r1.yzxw, c12", {0x02, 0x80030000, 0x81C90001, 0xA0E4000C}},
        TokenCase{kR0toR3, "mov a0.x, r3.y", {0x01, 0xB0010000, 0x80550003}},
        TokenCase{"mov r3, v0\nmov a0.x, r3.x\n", "mov r1, -c[a0.x + 26].zyxw", {0x01, 0x800F0001, 0xA1C6201A}},
        TokenCase{"mov r3, v0\nmov a0.x, r3.x\n", "mov r1, c[ 26 + a0.x ]", {0x01, 0x800F0001, 0xA0E4201A}},
        TokenCase{"mov r3, v0\nmov a0.x, r3.x\n", "mov r1, c[a0.x]", {0x01, 0x800F0001, 0xA0E42000}},
        TokenCase{"", "mov r1, c[7]", {0x01, 0x800F0001, 0xA0E40007}},
        // Every instruction's opcode and operand count.
        TokenCase{kR0toR3, "sub r0, r1, r2", {0x03, 0x800F0000, 0x80E40001, 0x80E40002}},
        TokenCase{kR0toR3, "mad oD0, v6.x, c11.w, r2", {0x04, 0xD00F0000, 0x90000006, 0xA0FF000B, 0x80E40002}},
        TokenCase{kR0toR3, "mul r0, r1, c0", {0x05, 0x800F0000, 0x80E40001, 0xA0E40000}},
        TokenCase{kR0toR3, "rcp r0.w, r1.w", {0x06, 0x80080000, 0x80FF0001}},
        TokenCase{kR0toR3, "rsq r0.x, r1.x", {0x07, 0x80010000, 0x80000001}},
        TokenCase{kR0toR3, "dp3 r0.x, r1, c3", {0x08, 0x80010000, 0x80E40001, 0xA0E40003}},
        TokenCase{kR0toR3, "dp4 r0.y, r1, c3", {0x09, 0x80020000, 0x80E40001, 0xA0E40003}},
        TokenCase{kR0toR3, "min r0, r1, c0.z", {0x0A, 0x800F0000, 0x80E40001, 0xA0AA0000}},
        TokenCase{kR0toR3, "max r0, r1, r2", {0x0B, 0x800F0000, 0x80E40001, 0x80E40002}},
        TokenCase{kR0toR3, "slt r0, r1, r2", {0x0C, 0x800F0000, 0x80E40001, 0x80E40002}},
        TokenCase{kR0toR3, "sge r0, r1, r2", {0x0D, 0x800F0000, 0x80E40001, 0x80E40002}},
        TokenCase{kR0toR3, "exp r0, r1.w", {0x0E, 0x800F0000, 0x80FF0001}},
        TokenCase{kR0toR3, "log r0, r1.w", {0x0F, 0x800F0000, 0x80FF0001}},
        TokenCase{kR0toR3, "lit r0, r1", {0x10, 0x800F0000, 0x80E40001}},
        TokenCase{kR0toR3, "dst r0, r1, r2", {0x11, 0x800F0000, 0x80E40001, 0x80E40002}},
        TokenCase{kR0toR3, "frc r0.xy, r1", {0x13, 0x80030000, 0x80E40001}},
        TokenCase{kR0toR3, "m4x4 oPos, r0, c20", {0x14, 0xC00F0000, 0x80E40000, 0xA0E40014}},
        TokenCase{"mov r3, v0\nmov a0.x, r3.x\nmov r0, v0\n", "m4x3 r4.xyz, r0, c[a0.x + 26]",
                  {0x15, 0x80070004, 0x80E40000, 0xA0E4201A}},
        TokenCase{kR0toR3, "m3x4 r4, r2, c16", {0x16, 0x800F0004, 0x80E40002, 0xA0E40010}},
        TokenCase{kR0toR3, "m3x3 r4.xyz, r2, c16", {0x17, 0x80070004, 0x80E40002, 0xA0E40010}},
        TokenCase{kR0toR3, "m3x2 r4.xy, r2, c16", {0x18, 0x80030004, 0x80E40002, 0xA0E40010}},
        TokenCase{kR0toR3, "expp r0, r1.x", {0x4E, 0x800F0000, 0x80000001}},
        TokenCase{kR0toR3, "logp r0, r1.x", {0x4F, 0x800F0000, 0x80000001}},
        TokenCase{"", "nop", {0x00}}));

struct ErrorCase {
    const char* source;
    const char* why;
};

class AssemblyErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(AssemblyErrors, FailWithNoTokens) {
    std::vector<uint32_t> tokens = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(AssembleVertexShader(GetParam().source, &tokens, &error)) << GetParam().why;
    EXPECT_TRUE(tokens.empty());
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, AssemblyErrors,
    testing::Values(
        ErrorCase{"", "empty text"},
        ErrorCase{"mov oPos, v0", "no version line"},
        ErrorCase{"vs.2.0\nmov oPos, v0", "other version"},
        ErrorCase{"vs.1.1\nfoo r0, v0", "unknown instruction"},
        ErrorCase{"vs.1.1\nmov r0", "too few operands"},
        ErrorCase{"vs.1.1\nadd r0, v0, v0, v0", "too many operands"},
        ErrorCase{"vs.1.1\nmov c0, v0", "constant written"},
        ErrorCase{"vs.1.1\nmov v1, v0", "input written"},
        ErrorCase{"vs.1.1\nmov r12, v0", "temporary out of range"},
        ErrorCase{"vs.1.1\nmov r0, v16", "input out of range"},
        ErrorCase{"vs.1.1\nmov r0, c96", "constant out of range"},
        ErrorCase{"vs.1.1\nmov oT8, v0", "texture output out of range"},
        ErrorCase{"vs.1.1\nmov oD2, v0", "colour output out of range"},
        ErrorCase{"vs.1.1\nmov r0, oPos", "output read"},
        ErrorCase{"vs.1.1\nadd r0, c0, c1", "two constants"},
        ErrorCase{"vs.1.1\nadd r0, v0, v1", "two inputs"},
        ErrorCase{"vs.1.1\nmov r0, r1", "temporary read before written"},
        ErrorCase{"vs.1.1\nmov r0.x, v0\nmov oPos, r0", "part of a temporary read before written"},
        ErrorCase{"vs.1.1\nmov r0.xyz, v0\ndp4 r1, r0, c0", "dp4 reads w"},
        ErrorCase{"vs.1.1\nmov r0, c[a0.x + 1]", "a0 read before written"},
        ErrorCase{"vs.1.1\nadd a0.x, v0, c0", "a0 written by add"},
        ErrorCase{"vs.1.1\nmov a0.xy, v0", "a0 written with a mask other than x"},
        ErrorCase{"vs.1.1\nm4x4 r0, v0, -c0", "negated matrix"},
        ErrorCase{"vs.1.1\nm4x4 r0, v0, c0.x", "swizzled matrix"},
        ErrorCase{"vs.1.1\nm4x4 r0, v0, c93", "matrix rows past c95"},
        ErrorCase{"vs.1.1\nmov r0, v0\nm4x4 r0, r0, c0", "matrix writes its source"},
        ErrorCase{"vs.1.1\nmov r0.yx, v0", "mask out of order"},
        ErrorCase{"vs.1.1\nmov -r0, v0", "negated destination"},
        ErrorCase{"vs.1.1\nmov r0, v0.q", "bad swizzle letter"},
        ErrorCase{"vs.1.1\nmov r0, v0.xyzwx", "swizzle too long"},
        ErrorCase{"vs.1.1\nmov r0, c[a0.y + 1]", "index register other than a0.x"},
        ErrorCase{"vs.1.1\nmov r0, c[5 + 6]", "sum of two numbers as an index"},
        ErrorCase{"vs.1.1\nmov r3, v0\nmov a0.x, r3.x\nmov r0, c[a0.x + a0.x]", "a0.x added to itself"}));

TEST(VertexShaderAsmTest, ErrorNamesTheLine) {
    std::vector<uint32_t> tokens;
    std::string error;
    EXPECT_FALSE(AssembleVertexShader("vs.1.1\n; fine\nmov oPos, v0\nmov r0, r5\n", &tokens, &error));
    EXPECT_EQ(error.rfind("line 4:", 0), 0u) << error;
}

}  // namespace
