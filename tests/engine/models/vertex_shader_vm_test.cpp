#include "engine/models/vertex_shader_vm.h"

#include "engine/models/vertex_declaration.h"
#include "engine/models/vertex_shader_asm.h"

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using Vec4 = std::array<float, 4>;

struct Registers {
    float inputs[vs::kInputCount][4] = {};
    float constants[vs::kConstantCount][4] = {};
};

VertexShaderOutput RunText(const std::string& source, const Registers& regs) {
    std::vector<uint32_t> tokens;
    std::string error;
    EXPECT_TRUE(AssembleVertexShader(source, &tokens, &error)) << error;
    const auto program = VertexShaderProgram::Compile(tokens.data(), tokens.size());
    EXPECT_NE(program, nullptr);
    VertexShaderOutput out;
    if (program) program->Run(regs.inputs, regs.constants, &out);
    return out;
}

void Set(float reg[4], Vec4 v) { std::memcpy(reg, v.data(), sizeof(float) * 4); }
Vec4 Of(const float reg[4]) { return {reg[0], reg[1], reg[2], reg[3]}; }

// Inputs and constants shared by the instruction table.
Registers InstructionRegisters() {
    Registers r;
    Set(r.inputs[0], {1.25f, -2.5f, 3.0f, 0.5f});
    Set(r.inputs[1], {4.0f, 5.0f, -6.0f, 2.0f});
    Set(r.inputs[2], {0.5f, 2.0f, 0.0f, 3.0f});
    Set(r.constants[0], {2.0f, 2.0f, 2.0f, 2.0f});
    Set(r.constants[1], {1.0f, 1.0f, 1.0f, 1.0f});
    Set(r.constants[4], {1.0f, 0.0f, 0.0f, 0.0f});
    Set(r.constants[5], {0.0f, 2.0f, 0.0f, 0.0f});
    Set(r.constants[6], {0.0f, 0.0f, 4.0f, 1.0f});
    Set(r.constants[7], {1.0f, 1.0f, 1.0f, 1.0f});
    return r;
}

struct OpCase {
    const char* line;
    Vec4 expected;  // oT0, whose unwritten components read (0, 0, 0, 1)
};

class Instructions : public testing::TestWithParam<OpCase> {};

TEST_P(Instructions, ComputeAsVs11) {
    const VertexShaderOutput out = RunText(std::string("vs.1.1\n") + GetParam().line + "\n", InstructionRegisters());
    const Vec4 got = Of(out.texCoord[0]);
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(got[i], GetParam().expected[i]) << GetParam().line << " [" << i << "]";
}

constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Table, Instructions,
    testing::Values(
        OpCase{"mov oT0, v0", {1.25f, -2.5f, 3.0f, 0.5f}},
        OpCase{"mov oT0, -v0.wzyx", {-0.5f, -3.0f, 2.5f, -1.25f}},
        OpCase{"mov oT0.yw, v0", {0.0f, -2.5f, 0.0f, 0.5f}},
        OpCase{"add oT0, v0, c1", {2.25f, -1.5f, 4.0f, 1.5f}},
        OpCase{"sub oT0, v1, c0", {2.0f, 3.0f, -8.0f, 0.0f}},
        OpCase{"mul oT0, v1, c0.x", {8.0f, 10.0f, -12.0f, 4.0f}},
        OpCase{"mad oT0, v1, c0, -c0", {6.0f, 8.0f, -14.0f, 2.0f}},
        OpCase{"min oT0, v1, c0", {2.0f, 2.0f, -6.0f, 2.0f}},
        OpCase{"max oT0, v1, c0", {4.0f, 5.0f, 2.0f, 2.0f}},
        OpCase{"slt oT0, v1, c0", {0.0f, 0.0f, 1.0f, 0.0f}},
        OpCase{"sge oT0, v1, c0", {1.0f, 1.0f, 0.0f, 1.0f}},
        OpCase{"rcp oT0, v1", {0.5f, 0.5f, 0.5f, 0.5f}},          // no swizzle: w
        OpCase{"rcp oT0, v1.x", {0.25f, 0.25f, 0.25f, 0.25f}},
        OpCase{"rcp oT0, v2.z", {kInf, kInf, kInf, kInf}},
        OpCase{"rsq oT0, v1.x", {0.5f, 0.5f, 0.5f, 0.5f}},
        OpCase{"rsq oT0, -v1.x", {0.5f, 0.5f, 0.5f, 0.5f}},       // of the absolute value
        OpCase{"rsq oT0, v2.z", {kInf, kInf, kInf, kInf}},
        OpCase{"dp3 oT0, v0, v0", {16.8125f, 16.8125f, 16.8125f, 16.8125f}},
        OpCase{"dp4 oT0, v1, c0", {10.0f, 10.0f, 10.0f, 10.0f}},
        OpCase{"exp oT0, v2.w", {8.0f, 8.0f, 8.0f, 8.0f}},
        OpCase{"log oT0, v1.x", {2.0f, 2.0f, 2.0f, 2.0f}},
        OpCase{"log oT0, v2.z", {-FLT_MAX, -FLT_MAX, -FLT_MAX, -FLT_MAX}},
        OpCase{"expp oT0, v0.x", {2.0f, 0.25f, 2.3784142f, 1.0f}},
        OpCase{"logp oT0, v2.y", {1.0f, 1.0f, 1.0f, 1.0f}},
        OpCase{"logp oT0, v1.y", {2.0f, 1.25f, 2.3219281f, 1.0f}},
        OpCase{"frc oT0, v0", {0.25f, 0.5f, 0.0f, 0.5f}},
        OpCase{"lit oT0, v2", {1.0f, 0.5f, 8.0f, 1.0f}},
        OpCase{"lit oT0, -v2", {1.0f, 0.0f, 0.0f, 1.0f}},
        OpCase{"dst oT0, v0, c5", {1.0f, -5.0f, 3.0f, 0.0f}},
        OpCase{"m4x4 oT0, v1, c4", {4.0f, 10.0f, -22.0f, 5.0f}},
        OpCase{"m4x3 oT0, v1, c4", {4.0f, 10.0f, -22.0f, 1.0f}},   // w not written
        OpCase{"m3x4 oT0, v1, c4", {4.0f, 10.0f, -24.0f, 3.0f}},
        OpCase{"m3x3 oT0, v1, c4", {4.0f, 10.0f, -24.0f, 1.0f}},
        OpCase{"m3x2 oT0, v1, c4", {4.0f, 10.0f, 0.0f, 1.0f}}));

// c[a0.x + 2] for a0.x from mov: rounded to nearest; reads outside c0..c95 give zeros.
TEST(VertexShaderVmTest, RelativeConstantsRoundTheAddressAndReadZeroOutside) {
    struct Case { float address; Vec4 expected; };
    const Case cases[] = {
        {1.4f, {3, 3, 3, 3}}, {1.6f, {4, 4, 4, 4}}, {-0.6f, {1, 1, 1, 1}}, {-2.0f, {0, 0, 0, 0}},
        {-3.0f, {0, 0, 0, 0}}, {93.0f, {95, 95, 95, 95}}, {94.0f, {0, 0, 0, 0}}, {1e30f, {0, 0, 0, 0}},
    };
    Registers regs;
    for (int i = 0; i < vs::kConstantCount; ++i) Set(regs.constants[i], {float(i), float(i), float(i), float(i)});
    for (const Case& c : cases) {
        regs.inputs[0][0] = c.address;
        const VertexShaderOutput out =
            RunText("vs.1.1\nmov r0, v0\nmov a0.x, r0.x\nmov oT0, c[a0.x + 2]\n", regs);
        EXPECT_EQ(Of(out.texCoord[0]), c.expected) << "a0.x from " << c.address;
    }
}

TEST(VertexShaderVmTest, WritesEveryOutputUnclampedAndLeavesTheRestAtDefaults) {
    Registers regs;
    Set(regs.inputs[0], {1, 2, 3, 4});
    Set(regs.inputs[1], {2.0f, -1.0f, 0.5f, 3.0f});
    const VertexShaderOutput out = RunText(
        "vs.1.1\nmov oPos, v0\nmov oD0, v1\nmov oFog.x, v1.y\nmov oPts.x, v1.w\nmov oT7, v0.wzyx\n", regs);
    EXPECT_EQ(Of(out.position), (Vec4{1, 2, 3, 4}));
    EXPECT_EQ(Of(out.diffuse), (Vec4{2.0f, -1.0f, 0.5f, 3.0f}));
    EXPECT_EQ(out.fog, -1.0f);
    EXPECT_EQ(out.pointSize, 3.0f);
    EXPECT_EQ(Of(out.texCoord[7]), (Vec4{4, 3, 2, 1}));
    EXPECT_EQ(Of(out.specular), (Vec4{0, 0, 0, 0}));
    EXPECT_EQ(Of(out.texCoord[0]), (Vec4{0, 0, 0, 1}));

    const VertexShaderOutput empty = RunText("vs.1.1\nmov oPos, v0\n", regs);
    EXPECT_EQ(Of(empty.diffuse), (Vec4{1, 1, 1, 1}));
    EXPECT_EQ(empty.fog, 1.0f);
}

TEST(VertexShaderVmTest, CompileSkipsCommentsAndRejectsMalformedStreams) {
    const std::vector<uint32_t> good = {0xFFFE0101, 0x0002FFFE, 0xDEADBEEF, 0x0000FFFF, 0x00000001, 0xC00F0000,
                                        0x90E40000, 0x0000FFFF};
    const auto program = VertexShaderProgram::Compile(good.data(), good.size());
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->GetInstructionCount(), 1u);

    const std::vector<std::vector<uint32_t>> bad = {
        {},                                                           // nothing
        {0xFFFE0200, 0x0000FFFF},                                     // vs.2.0
        {0xFFFE0101, 0x00000001, 0xC00F0000, 0x90E40000},             // no end token
        {0xFFFE0101, 0x00000001, 0xC00F0000},                         // operand cut off
        {0xFFFE0101, 0x00000012, 0x800F0000, 0x90E40000, 0x90E40000, 0x90E40000, 0x0000FFFF},  // lrp: not vs
        {0xFFFE0101, 0x00000001, 0x900F0000, 0x90E40000, 0x0000FFFF},  // writes an input
        {0xFFFE0101, 0x00000002, 0xB00F0000, 0x90E40000, 0x90E40000, 0x0000FFFF},  // a0 by add
        {0xFFFE0101, 0x00000001, 0x800F000C, 0x90E40000, 0x0000FFFF},  // r12
        {0xFFFE0101, 0x00000001, 0x800F0000, 0x90E40010, 0x0000FFFF},  // v16
        {0xFFFE0101, 0x00000001, 0x800F0000, 0xA0E40060, 0x0000FFFF},  // c96
        {0xFFFE0101, 0x00000001, 0x800F0000, 0x80E42000, 0x0000FFFF},  // relative temporary
        {0xFFFE0101, 0x00000001, 0x800F0000, 0x92E40000, 0x0000FFFF},  // modifier other than negate
        {0xFFFE0101, 0x00000001, 0x000F0000, 0x90E40000, 0x0000FFFF},  // parameter bit missing
        {0xFFFE0101, 0x00000014, 0x800F0000, 0x90E40000, 0xA0E4005D, 0x0000FFFF},  // m4x4 rows c93..c96
        {0xFFFE0101, 0x0005FFFE, 0x0000FFFF},                         // comment runs past the end
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_EQ(VertexShaderProgram::Compile(bad[i].data(), bad[i].size()), nullptr) << "case " << i;
    }
}

// ---------------------------------------------------------------------------
// Declarations and input loading

TEST(VertexDeclarationTest, ParsesRegistersOffsetsAndSkips) {
    const uint32_t tokens[] = {
        vs::DeclStream(0), vs::DeclRegister(0, vs::DECL_FLOAT3), vs::DeclSkip(2),
        (4u << 29) | (1u << 25) | 5u, 1, 2, 3, 4,           // constants c5 = (1, 2, 3, 4): stepped over
        vs::DeclRegister(5, vs::DECL_D3DCOLOR), 0, vs::DeclRegister(15, vs::DECL_SHORT4), vs::kDeclEnd,
    };
    vs::VertexDeclaration d;
    ASSERT_TRUE(vs::ParseVertexDeclaration(tokens, std::size(tokens), &d));
    ASSERT_EQ(d.elements.size(), 3u);
    EXPECT_EQ(d.elements[0].offset, 0u);
    EXPECT_EQ(d.elements[1].reg, 5u);
    EXPECT_EQ(d.elements[1].offset, 20u);
    EXPECT_EQ(d.elements[2].offset, 24u);
    EXPECT_EQ(d.stride, 32u);
}

TEST(VertexDeclarationTest, RejectsWhatTheDeviceCannotFeed) {
    const std::vector<std::vector<uint32_t>> bad = {
        {vs::DeclStream(1), vs::DeclRegister(0, vs::DECL_FLOAT3), vs::kDeclEnd},
        {vs::DeclStream(0) | (1u << 28), vs::kDeclEnd},                  // tessellator stream
        {vs::DeclStream(0), 3u << 29, vs::kDeclEnd},                     // tessellator token
        {vs::DeclStream(0), vs::DeclRegister(16, vs::DECL_FLOAT3), vs::kDeclEnd},
        {vs::DeclStream(0), vs::DeclRegister(0, static_cast<vs::DeclType>(8)), vs::kDeclEnd},
        {vs::DeclStream(0), vs::DeclRegister(0, vs::DECL_FLOAT3)},        // no end
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        vs::VertexDeclaration d;
        EXPECT_FALSE(vs::ParseVertexDeclaration(bad[i].data(), bad[i].size(), &d)) << "case " << i;
    }
}

TEST(VertexDeclarationTest, LoadsEachTypeAsDirect3DExpandsIt) {
    const uint32_t tokens[] = {
        vs::DeclStream(0), vs::DeclRegister(0, vs::DECL_FLOAT1), vs::DeclRegister(1, vs::DECL_FLOAT2),
        vs::DeclRegister(2, vs::DECL_FLOAT4), vs::DeclRegister(3, vs::DECL_D3DCOLOR),
        vs::DeclRegister(4, vs::DECL_UBYTE4), vs::DeclRegister(5, vs::DECL_SHORT2), vs::kDeclEnd,
    };
    vs::VertexDeclaration d;
    ASSERT_TRUE(vs::ParseVertexDeclaration(tokens, std::size(tokens), &d));
    std::vector<uint8_t> vertex(d.stride);
    const float f[7] = {7, 1, 2, 3, 4, 5, 6};
    std::memcpy(vertex.data(), f, sizeof f);
    const uint32_t colour = 0x11223344;  // A 0x11, R 0x22, G 0x33, B 0x44: bytes 44 33 22 11
    std::memcpy(&vertex[28], &colour, 4);
    const uint8_t bytes[4] = {3, 0, 255, 9};
    std::memcpy(&vertex[32], bytes, 4);
    const int16_t shorts[2] = {-300, 7};
    std::memcpy(&vertex[36], shorts, 4);

    float in[vs::kInputCount][4];
    for (auto& reg : in) Set(reg, {-9, -9, -9, -9});
    vs::LoadVertexInputs(d, vertex.data(), in);
    EXPECT_EQ(Of(in[0]), (Vec4{7, 0, 0, 1}));
    EXPECT_EQ(Of(in[1]), (Vec4{1, 2, 0, 1}));
    EXPECT_EQ(Of(in[2]), (Vec4{3, 4, 5, 6}));
    EXPECT_EQ(Of(in[3]), (Vec4{0x22 / 255.0f, 0x33 / 255.0f, 0x44 / 255.0f, 0x11 / 255.0f}));
    EXPECT_EQ(Of(in[4]), (Vec4{3, 0, 255, 9}));
    EXPECT_EQ(Of(in[5]), (Vec4{-300, 7, 0, 1}));
    EXPECT_EQ(Of(in[6]), (Vec4{-9, -9, -9, -9}));  // undeclared: untouched
}

}  // namespace
