#include "engine/models/vertex_shader_vm.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

using namespace vs;

// Register files as the interpreter addresses them.
enum File : uint8_t { FILE_TEMP, FILE_INPUT, FILE_CONST, FILE_ADDR, FILE_OUTPUT };

// Output slots of FILE_OUTPUT.
enum : uint16_t { SLOT_POSITION, SLOT_FOG, SLOT_POINT_SIZE, SLOT_D0, SLOT_T0 = SLOT_D0 + kColourCount,
                  SLOT_COUNT = SLOT_T0 + kTexCoordCount };

// a0.x of a value too large for any constant: every relative read gives zeros.
constexpr int32_t kAddressOutOfRange = 1 << 20;

uint32_t TypeOf(uint32_t token) { return (token & kTypeMask) >> kTypeShift; }
uint32_t NumberOf(uint32_t token) { return token & kRegisterNumberMask; }

bool DecodeDestination(uint32_t token, VertexShaderProgram::Instruction* ins) {
    if (!(token & kParamBit)) return false;
    const uint32_t number = NumberOf(token);
    ins->writeMask = static_cast<uint8_t>((token >> kWriteMaskShift) & kWriteMaskAll);
    switch (TypeOf(token)) {
    case REG_TEMP:
        ins->destFile = FILE_TEMP;
        ins->destIndex = static_cast<uint16_t>(number);
        return number < kTempCount;
    case REG_ADDR:
        ins->destFile = FILE_ADDR;
        ins->destIndex = 0;
        return number == 0 && ins->opcode == OP_MOV;
    case REG_RASTOUT:
        ins->destFile = FILE_OUTPUT;
        ins->destIndex = static_cast<uint16_t>(SLOT_POSITION + number);
        return number <= RASTOUT_POINT_SIZE;
    case REG_ATTROUT:
        ins->destFile = FILE_OUTPUT;
        ins->destIndex = static_cast<uint16_t>(SLOT_D0 + number);
        return number < kColourCount;
    case REG_TEXCRDOUT:
        ins->destFile = FILE_OUTPUT;
        ins->destIndex = static_cast<uint16_t>(SLOT_T0 + number);
        return number < kTexCoordCount;
    default:
        return false;
    }
}

bool DecodeSource(uint32_t token, VertexShaderProgram::Source* src) {
    if (!(token & kParamBit)) return false;
    const uint32_t number = NumberOf(token);
    const uint32_t swizzle = (token >> kSwizzleShift) & 0xFF;
    for (int i = 0; i < 4; ++i) src->swizzle[i] = static_cast<uint8_t>((swizzle >> (2 * i)) & 3);
    const uint32_t modifier = (token >> kModifierShift) & 0xF;
    if (modifier > kModifierNegate) return false;
    src->negate = modifier == kModifierNegate;
    src->relative = (token & kRelativeBit) != 0;
    src->index = static_cast<uint16_t>(number);
    switch (TypeOf(token)) {
    case REG_TEMP: src->file = FILE_TEMP; return !src->relative && number < kTempCount;
    case REG_INPUT: src->file = FILE_INPUT; return !src->relative && number < kInputCount;
    case REG_CONST: src->file = FILE_CONST; return number < kConstantCount;
    default: return false;
    }
}

// The registers a running program reads and writes.
struct Machine {
    const float (*inputs)[4];
    const float (*constants)[4];
    float temps[kTempCount][4];
    float outputs[SLOT_COUNT][4];
    int32_t address;
};

const float kZero[4] = {0.0f, 0.0f, 0.0f, 0.0f};

const float* RegisterOf(const Machine& m, const VertexShaderProgram::Source& s, int row) {
    switch (s.file) {
    case FILE_TEMP: return m.temps[s.index + row];
    case FILE_INPUT: return m.inputs[s.index + row];
    default: {
        const int32_t index = s.index + row + (s.relative ? m.address : 0);
        return index >= 0 && index < kConstantCount ? m.constants[index] : kZero;
    }
    }
}

void Fetch(const Machine& m, const VertexShaderProgram::Source& s, int row, float v[4]) {
    const float* r = RegisterOf(m, s, row);
    for (int i = 0; i < 4; ++i) v[i] = r[s.swizzle[i]];
    if (s.negate) {
        for (int i = 0; i < 4; ++i) v[i] = -v[i];
    }
}

float Dot(const float a[4], const float b[4], int size) {
    float sum = a[0] * b[0];
    for (int i = 1; i < size; ++i) sum += a[i] * b[i];
    return sum;
}

void Replicate(float r[4], float value) { r[0] = r[1] = r[2] = r[3] = value; }

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

void Lit(const float a[4], float r[4]) {
    constexpr float kMaxPower = 127.9961f;
    const float power = std::fmax(-kMaxPower, std::fmin(kMaxPower, a[3]));
    r[0] = 1.0f;
    r[1] = 0.0f;
    r[2] = 0.0f;
    r[3] = 1.0f;
    if (a[0] > 0.0f) {
        r[1] = a[0];
        if (a[1] > 0.0f) r[2] = std::pow(a[1], power);
    }
}

void ExpPartial(float w, float r[4]) {
    const float whole = std::floor(w);
    r[0] = std::exp2(whole);
    r[1] = w - whole;
    r[2] = std::exp2(w);
    r[3] = 1.0f;
}

void LogPartial(float w, float r[4]) {
    const float v = std::fabs(w);
    r[3] = 1.0f;
    if (v == 0.0f) {
        r[0] = r[1] = r[2] = -FLT_MAX;
        return;
    }
    int exponent = 0;
    const float mantissa = std::frexp(v, &exponent);  // v = mantissa * 2^exponent, mantissa in [0.5, 1)
    r[0] = static_cast<float>(exponent - 1);
    r[1] = mantissa * 2.0f;
    r[2] = std::log2(v);
}

int32_t ToAddress(float x) {
    const float rounded = std::floor(x + 0.5f);
    if (!(rounded > -kAddressOutOfRange && rounded < kAddressOutOfRange)) return kAddressOutOfRange;
    return static_cast<int32_t>(rounded);
}

void Execute(Machine& m, const VertexShaderProgram::Instruction& ins) {
    float a[4], b[4], c[4], r[4];
    switch (ins.opcode) {
    case OP_NOP: return;
    case OP_MOV: Fetch(m, ins.source[0], 0, r); break;
    case OP_ADD: case OP_SUB: case OP_MUL: case OP_MIN: case OP_MAX: case OP_SLT: case OP_SGE:
        Fetch(m, ins.source[0], 0, a);
        Fetch(m, ins.source[1], 0, b);
        for (int i = 0; i < 4; ++i) {
            switch (ins.opcode) {
            case OP_ADD: r[i] = a[i] + b[i]; break;
            case OP_SUB: r[i] = a[i] - b[i]; break;
            case OP_MUL: r[i] = a[i] * b[i]; break;
            case OP_MIN: r[i] = a[i] < b[i] ? a[i] : b[i]; break;
            case OP_MAX: r[i] = a[i] >= b[i] ? a[i] : b[i]; break;
            case OP_SLT: r[i] = a[i] < b[i] ? 1.0f : 0.0f; break;
            default: r[i] = a[i] >= b[i] ? 1.0f : 0.0f; break;
            }
        }
        break;
    case OP_MAD:
        Fetch(m, ins.source[0], 0, a);
        Fetch(m, ins.source[1], 0, b);
        Fetch(m, ins.source[2], 0, c);
        for (int i = 0; i < 4; ++i) r[i] = a[i] * b[i] + c[i];
        break;
    case OP_RCP: Fetch(m, ins.source[0], 0, a); Replicate(r, Reciprocal(a[3])); break;
    case OP_RSQ: Fetch(m, ins.source[0], 0, a); Replicate(r, ReciprocalSqrt(a[3])); break;
    case OP_EXP: Fetch(m, ins.source[0], 0, a); Replicate(r, std::exp2(a[3])); break;
    case OP_LOG: Fetch(m, ins.source[0], 0, a); Replicate(r, Log2(a[3])); break;
    case OP_EXPP: Fetch(m, ins.source[0], 0, a); ExpPartial(a[3], r); break;
    case OP_LOGP: Fetch(m, ins.source[0], 0, a); LogPartial(a[3], r); break;
    case OP_FRC:
        Fetch(m, ins.source[0], 0, a);
        for (int i = 0; i < 4; ++i) r[i] = a[i] - std::floor(a[i]);
        break;
    case OP_LIT: Fetch(m, ins.source[0], 0, a); Lit(a, r); break;
    case OP_DST:
        Fetch(m, ins.source[0], 0, a);
        Fetch(m, ins.source[1], 0, b);
        r[0] = 1.0f;
        r[1] = a[1] * b[1];
        r[2] = a[2];
        r[3] = b[3];
        break;
    case OP_DP3: case OP_DP4:
        Fetch(m, ins.source[0], 0, a);
        Fetch(m, ins.source[1], 0, b);
        Replicate(r, Dot(a, b, ins.dotSize));
        break;
    default:  // m4x4, m4x3, m3x4, m3x3, m3x2: row k of the matrix is register index + k
        Fetch(m, ins.source[0], 0, a);
        for (int k = 0; k < ins.rows; ++k) {
            Fetch(m, ins.source[1], k, b);
            r[k] = Dot(a, b, ins.dotSize);
        }
        break;
    }
    if (ins.destFile == FILE_ADDR) {
        m.address = ToAddress(r[0]);
        return;
    }
    float* dest = ins.destFile == FILE_TEMP ? m.temps[ins.destIndex] : m.outputs[ins.destIndex];
    for (int i = 0; i < 4; ++i) {
        if (ins.writeMask & (1u << i)) dest[i] = r[i];
    }
}

void SetDefaults(float outputs[SLOT_COUNT][4]) {
    const VertexShaderOutput defaults;
    std::memcpy(outputs[SLOT_POSITION], defaults.position, sizeof defaults.position);
    Replicate(outputs[SLOT_FOG], defaults.fog);
    Replicate(outputs[SLOT_POINT_SIZE], defaults.pointSize);
    std::memcpy(outputs[SLOT_D0], defaults.diffuse, sizeof defaults.diffuse);
    std::memcpy(outputs[SLOT_D0 + 1], defaults.specular, sizeof defaults.specular);
    std::memcpy(outputs[SLOT_T0], defaults.texCoord, sizeof defaults.texCoord);
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
        Instruction ins{};
        ins.opcode = info->opcode;
        ins.rows = info->rows;
        ins.dotSize = info->dotSize;
        if (info->opcode == OP_NOP) continue;
        if (at + 1 + info->sourceCount > maxTokens || !DecodeDestination(tokens[at++], &ins)) return nullptr;
        for (int i = 0; i < info->sourceCount; ++i) {
            if (!DecodeSource(tokens[at++], &ins.source[i])) return nullptr;
        }
        if (info->kind == OpKind::Matrix) {
            const Source& matrix = ins.source[1];
            const int limit = matrix.file == FILE_TEMP ? kTempCount : matrix.file == FILE_INPUT ? kInputCount : kConstantCount;
            if (!matrix.relative && matrix.index + info->rows > limit) return nullptr;
            ins.writeMask &= static_cast<uint8_t>((1u << info->rows) - 1);  // one component per row
        }
        program->instructions_.push_back(ins);
    }
    return nullptr;  // no end token within the stream
}

void VertexShaderProgram::Run(const float inputs[kInputCount][4], const float constants[kConstantCount][4],
                              VertexShaderOutput* out) const {
    Machine m;
    m.inputs = inputs;
    m.constants = constants;
    std::memset(m.temps, 0, sizeof m.temps);
    m.address = 0;
    SetDefaults(m.outputs);
    for (const Instruction& ins : instructions_) Execute(m, ins);

    std::memcpy(out->position, m.outputs[SLOT_POSITION], sizeof out->position);
    std::memcpy(out->diffuse, m.outputs[SLOT_D0], sizeof out->diffuse);
    std::memcpy(out->specular, m.outputs[SLOT_D0 + 1], sizeof out->specular);
    std::memcpy(out->texCoord, m.outputs[SLOT_T0], sizeof out->texCoord);
    out->fog = m.outputs[SLOT_FOG][0];
    out->pointSize = m.outputs[SLOT_POINT_SIZE][0];
}
