#include "engine/models/vertex_shader_vm.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

using namespace vs;
using Instruction = VertexShaderProgram::Instruction;
using Source = VertexShaderProgram::Source;

// The interpreter's register file: temporaries, inputs, then the outputs.
enum : uint16_t {
    FIRST_TEMP = 0,
    FIRST_INPUT = FIRST_TEMP + kTempCount,
    OUT_POSITION = FIRST_INPUT + kInputCount,
    OUT_FOG,
    OUT_POINT_SIZE,
    OUT_D0,
    OUT_T0 = OUT_D0 + kColourCount,
    REGISTER_COUNT = OUT_T0 + kTexCoordCount,
};

// a0.x of a value too large for any constant: every relative read gives zeros.
constexpr int32_t kAddressOutOfRange = 1 << 20;

uint32_t TypeOf(uint32_t token) { return (token & kTypeMask) >> kTypeShift; }
uint32_t NumberOf(uint32_t token) { return token & kRegisterNumberMask; }

bool DecodeDestination(uint32_t token, Instruction* ins) {
    if (!(token & kParamBit)) return false;
    const uint32_t number = NumberOf(token);
    ins->writeMask = static_cast<uint8_t>((token >> kWriteMaskShift) & kWriteMaskAll);
    uint32_t first = 0, count = 0;
    switch (TypeOf(token)) {
    case REG_TEMP: first = FIRST_TEMP; count = kTempCount; break;
    case REG_ADDR:
        ins->toAddress = true;
        return number == 0 && ins->opcode == OP_MOV;
    case REG_RASTOUT: first = OUT_POSITION; count = RASTOUT_POINT_SIZE + 1; break;
    case REG_ATTROUT: first = OUT_D0; count = kColourCount; break;
    case REG_TEXCRDOUT: first = OUT_T0; count = kTexCoordCount; break;
    default: return false;
    }
    ins->dest = static_cast<uint16_t>(first + number);
    return number < count;
}

bool DecodeSource(uint32_t token, Source* src) {
    if (!(token & kParamBit)) return false;
    const uint32_t number = NumberOf(token);
    const uint32_t swizzle = (token >> kSwizzleShift) & 0xFF;
    for (int i = 0; i < 4; ++i) src->swizzle[i] = static_cast<uint8_t>((swizzle >> (2 * i)) & 3);
    const uint32_t modifier = (token >> kModifierShift) & 0xF;
    if (modifier > kModifierNegate) return false;
    src->signMask = modifier == kModifierNegate ? 0x80000000u : 0u;
    src->plain = src->signMask == 0 && swizzle == kSwizzleIdentity;
    src->relative = (token & kRelativeBit) != 0;
    src->constant = false;
    switch (TypeOf(token)) {
    case REG_TEMP:
        src->index = static_cast<uint16_t>(FIRST_TEMP + number);
        return !src->relative && number < kTempCount;
    case REG_INPUT:
        src->index = static_cast<uint16_t>(FIRST_INPUT + number);
        return !src->relative && number < kInputCount;
    case REG_CONST:
        src->constant = true;
        src->index = static_cast<uint16_t>(number);
        return number < kConstantCount;
    default:
        return false;
    }
}

// Registers are held as four-lane vectors, so that an instruction's result
// stays in one machine register from its computation to its store.
typedef float F4 __attribute__((vector_size(16)));
typedef uint32_t U4 __attribute__((vector_size(16)));

inline F4 Load(const float* p) {
    F4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline F4 Splat(float x) { return F4{x, x, x, x}; }

// The state of one vertex's run.
struct Machine {
    F4 regs[REGISTER_COUNT];
    const float (*constants)[4];
    int32_t address;
};

// Row `row` of a source, swizzled and negated.
inline F4 Read(const Machine& m, const Source& s, int row) {
    const float* r;
    if (s.constant) {
        const int32_t index = s.index + row + (s.relative ? m.address : 0);
        if (index < 0 || index >= kConstantCount) return F4{};
        r = m.constants[index];
    } else {
        r = reinterpret_cast<const float*>(&m.regs[s.index + row]);
    }
    if (s.plain) return Load(r);
    const F4 v = {r[s.swizzle[0]], r[s.swizzle[1]], r[s.swizzle[2]], r[s.swizzle[3]]};
    return std::bit_cast<F4>(std::bit_cast<U4>(v) ^ s.signMask);
}

// Dot product summed in component order.
inline float Dot(F4 a, F4 b, int size) {
    const F4 p = a * b;
    float sum = p[0] + p[1] + p[2];
    if (size == 4) sum += p[3];
    return sum;
}

float Reciprocal(float x) {
    if (x == 1.0f) return 1.0f;
    if (x == 0.0f) return std::numeric_limits<float>::infinity();
    return 1.0f / x;
}

float ReciprocalSqrt(float x) {
    x = std::fabs(x);
    if (x == 1.0f) return 1.0f;
    if (x == 0.0f) return std::numeric_limits<float>::infinity();
    return 1.0f / std::sqrt(x);
}

float Log2(float x) {
    x = std::fabs(x);
    return x == 0.0f ? -FLT_MAX : std::log2(x);
}

F4 Lit(F4 a) {
    constexpr float kMaxPower = 127.9961f;
    const float power = std::fmax(-kMaxPower, std::fmin(kMaxPower, a[3]));
    F4 r = {1.0f, 0.0f, 0.0f, 1.0f};
    if (a[0] > 0.0f) {
        r[1] = a[0];
        if (a[1] > 0.0f) r[2] = std::pow(a[1], power);
    }
    return r;
}

F4 ExpPartial(float w) {
    const float whole = std::floor(w);
    return F4{std::exp2(whole), w - whole, std::exp2(w), 1.0f};
}

F4 LogPartial(float w) {
    const float v = std::fabs(w);
    if (v == 0.0f) return F4{-FLT_MAX, -FLT_MAX, -FLT_MAX, 1.0f};
    int exponent = 0;
    const float mantissa = std::frexp(v, &exponent);  // v = mantissa * 2^exponent, mantissa in [0.5, 1)
    return F4{static_cast<float>(exponent - 1), mantissa * 2.0f, std::log2(v), 1.0f};
}

int32_t ToAddress(float x) {
    const float rounded = std::floor(x + 0.5f);
    if (!(rounded > -kAddressOutOfRange && rounded < kAddressOutOfRange)) return kAddressOutOfRange;
    return static_cast<int32_t>(rounded);
}

inline F4 PerComponent(F4 a, F4 b, float (*op)(float, float)) {
    return F4{op(a[0], b[0]), op(a[1], b[1]), op(a[2], b[2]), op(a[3], b[3])};
}

inline F4 Compute(const Machine& m, const Instruction& ins) {
    const F4 a = Read(m, ins.source[0], 0);
    switch (ins.opcode) {
    case OP_MOV: return a;
    case OP_ADD: return a + Read(m, ins.source[1], 0);
    case OP_SUB: return a - Read(m, ins.source[1], 0);
    case OP_MUL: return a * Read(m, ins.source[1], 0);
    case OP_MAD: return a * Read(m, ins.source[1], 0) + Read(m, ins.source[2], 0);
    case OP_MIN: return PerComponent(a, Read(m, ins.source[1], 0), [](float x, float y) { return x < y ? x : y; });
    case OP_MAX: return PerComponent(a, Read(m, ins.source[1], 0), [](float x, float y) { return x >= y ? x : y; });
    case OP_SLT: return PerComponent(a, Read(m, ins.source[1], 0), [](float x, float y) { return x < y ? 1.0f : 0.0f; });
    case OP_SGE: return PerComponent(a, Read(m, ins.source[1], 0), [](float x, float y) { return x >= y ? 1.0f : 0.0f; });
    case OP_RCP: return Splat(Reciprocal(a[3]));
    case OP_RSQ: return Splat(ReciprocalSqrt(a[3]));
    case OP_EXP: return Splat(std::exp2(a[3]));
    case OP_LOG: return Splat(Log2(a[3]));
    case OP_EXPP: return ExpPartial(a[3]);
    case OP_LOGP: return LogPartial(a[3]);
    case OP_FRC: return F4{a[0] - std::floor(a[0]), a[1] - std::floor(a[1]), a[2] - std::floor(a[2]), a[3] - std::floor(a[3])};
    case OP_LIT: return Lit(a);
    case OP_DST: {
        const F4 b = Read(m, ins.source[1], 0);
        return F4{1.0f, a[1] * b[1], a[2], b[3]};
    }
    case OP_DP3: case OP_DP4: return Splat(Dot(a, Read(m, ins.source[1], 0), ins.dotSize));
    default: {  // m4x4 and its kin: row k of the matrix is register index + k
        F4 r = {};
        for (int k = 0; k < ins.rows; ++k) r[k] = Dot(a, Read(m, ins.source[1], k), ins.dotSize);
        return r;
    }
    }
}

inline void Execute(Machine& m, const Instruction& ins) {
    const F4 r = Compute(m, ins);
    if (ins.toAddress) {
        m.address = ToAddress(r[0]);
        return;
    }
    U4 lanes;
    std::memcpy(&lanes, ins.laneMask, sizeof lanes);
    const U4 old = std::bit_cast<U4>(m.regs[ins.dest]);
    m.regs[ins.dest] = std::bit_cast<F4>((std::bit_cast<U4>(r) & lanes) | (old & ~lanes));
}

}  // namespace

std::unique_ptr<VertexShaderProgram> VertexShaderProgram::Compile(const uint32_t* tokens, size_t maxTokens) {
    if (!tokens || maxTokens == 0 || (tokens[0] != kVersion11 && tokens[0] != kVersion10)) return nullptr;
    auto program = std::make_unique<VertexShaderProgram>();
    size_t at = 1;
    while (at < maxTokens) {
        const uint32_t token = tokens[at++];
        if (token == kEndToken) return program;
        if ((token & 0xFFFF) == kCommentOpcode) {
            at += token >> 16;
            continue;
        }
        const OpcodeInfo* info = FindOpcode(token);
        if (!info) return nullptr;
        if (info->opcode == OP_NOP) continue;
        Instruction ins{};
        ins.opcode = info->opcode;
        ins.rows = static_cast<uint8_t>(info->rows);
        ins.dotSize = static_cast<uint8_t>(info->dotSize);
        if (at + 1 + info->sourceCount > maxTokens || !DecodeDestination(tokens[at++], &ins)) return nullptr;
        for (int i = 0; i < info->sourceCount; ++i) {
            if (!DecodeSource(tokens[at++], &ins.source[i])) return nullptr;
        }
        if (info->kind == OpKind::Matrix) {
            const Source& matrix = ins.source[1];
            const int last = matrix.constant ? kConstantCount : matrix.index < FIRST_INPUT ? FIRST_INPUT : OUT_POSITION;
            if (!matrix.relative && matrix.index + info->rows > last) return nullptr;
            ins.writeMask &= static_cast<uint8_t>((1u << info->rows) - 1);  // one component per row
        }
        for (int i = 0; i < 4; ++i) ins.laneMask[i] = (ins.writeMask >> i) & 1 ? 0xFFFFFFFFu : 0u;
        program->instructions_.push_back(ins);
    }
    return nullptr;  // no end token within the stream
}

void VertexShaderProgram::Run(const float inputs[kInputCount][4], const float constants[kConstantCount][4],
                              VertexShaderOutput* out) const {
    static const VertexShaderOutput kDefaults;
    Machine m;
    for (int i = 0; i < kTempCount; ++i) m.regs[FIRST_TEMP + i] = F4{};
    for (int i = 0; i < kInputCount; ++i) m.regs[FIRST_INPUT + i] = Load(inputs[i]);
    m.regs[OUT_POSITION] = Load(kDefaults.position);
    m.regs[OUT_FOG] = Splat(kDefaults.fog);
    m.regs[OUT_POINT_SIZE] = Splat(kDefaults.pointSize);
    m.regs[OUT_D0] = Load(kDefaults.diffuse);
    m.regs[OUT_D0 + 1] = Load(kDefaults.specular);
    for (int t = 0; t < kTexCoordCount; ++t) m.regs[OUT_T0 + t] = Load(kDefaults.texCoord[t]);
    m.constants = constants;
    m.address = 0;

    for (const Instruction& ins : instructions_) Execute(m, ins);

    std::memcpy(out->position, &m.regs[OUT_POSITION], sizeof out->position);
    std::memcpy(out->diffuse, &m.regs[OUT_D0], sizeof out->diffuse);
    std::memcpy(out->specular, &m.regs[OUT_D0 + 1], sizeof out->specular);
    for (int t = 0; t < kTexCoordCount; ++t) std::memcpy(out->texCoord[t], &m.regs[OUT_T0 + t], sizeof out->texCoord[t]);
    out->fog = m.regs[OUT_FOG][0];
    out->pointSize = m.regs[OUT_POINT_SIZE][0];
}
