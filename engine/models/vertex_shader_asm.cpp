#include "engine/models/vertex_shader_asm.h"

#include "engine/models/vertex_shader_tokens.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>

namespace {

using namespace vs;

// A parse or rule failure; the line number is added by the caller.
struct AsmError {
    std::string message;
};

struct Operand {
    RegisterType type = REG_TEMP;
    uint32_t number = 0;
    bool relative = false;
    bool negate = false;
    std::array<uint8_t, 4> swizzle = {0, 1, 2, 3};  // sources
    uint32_t writeMask = kWriteMaskAll;              // destinations
    bool hasSuffix = false;

    uint32_t SwizzleBits() const {
        return swizzle[0] | (swizzle[1] << 2) | (swizzle[2] << 4) | (swizzle[3] << 6);
    }
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::string_view StripComment(std::string_view line) {
    const size_t semicolon = line.find(';');
    const size_t slashes = line.find("//");
    return line.substr(0, std::min(semicolon, slashes));
}

std::optional<uint32_t> ParseNumber(std::string_view text) {
    text = Trim(text);
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

int ComponentIndex(char c) {
    switch (c) {
    case 'x': case 'r': return 0;
    case 'y': case 'g': return 1;
    case 'z': case 'b': return 2;
    case 'w': case 'a': return 3;
    default: return -1;
    }
}

// "c[...]": an absolute index, a0.x, or a0.x plus an offset in either order.
void ParseConstantIndex(std::string_view inside, Operand* op) {
    std::string_view number = Trim(inside);
    if (const size_t plus = inside.find('+'); plus != std::string_view::npos) {
        const std::string_view left = Trim(inside.substr(0, plus)), right = Trim(inside.substr(plus + 1));
        if (left != "a0.x" && right != "a0.x") throw AsmError{"bad constant index \"" + std::string(inside) + "\""};
        number = left == "a0.x" ? right : left;
        op->relative = true;
    } else if (number == "a0.x") {
        op->relative = true;
        return;
    }
    const auto value = ParseNumber(number);
    if (!value) throw AsmError{"bad constant index \"" + std::string(inside) + "\""};
    op->number = *value;
}

// The register name without modifiers; fills type and number.
void ParseRegister(std::string_view name, Operand* op) {
    struct Named { std::string_view prefix; RegisterType type; uint32_t count; };
    static constexpr Named kNumbered[] = {
        {"od", REG_ATTROUT, kColourCount}, {"ot", REG_TEXCRDOUT, kTexCoordCount}, {"r", REG_TEMP, kTempCount},
        {"v", REG_INPUT, kInputCount}, {"c", REG_CONST, kConstantCount}, {"a", REG_ADDR, 1},
    };
    if (name == "opos") { op->type = REG_RASTOUT; op->number = RASTOUT_POSITION; return; }
    if (name == "ofog") { op->type = REG_RASTOUT; op->number = RASTOUT_FOG; return; }
    if (name == "opts") { op->type = REG_RASTOUT; op->number = RASTOUT_POINT_SIZE; return; }
    if (name.starts_with("c[") && name.ends_with("]")) {
        op->type = REG_CONST;
        ParseConstantIndex(name.substr(2, name.size() - 3), op);
        if (op->number >= kConstantCount) throw AsmError{"constant index out of range"};
        return;
    }
    for (const Named& n : kNumbered) {
        if (!name.starts_with(n.prefix)) continue;
        const auto number = ParseNumber(name.substr(n.prefix.size()));
        if (!number) break;
        if (*number >= n.count) throw AsmError{"register \"" + std::string(name) + "\" out of range"};
        op->type = n.type;
        op->number = *number;
        return;
    }
    throw AsmError{"unknown register \"" + std::string(name) + "\""};
}

// Splits "name.suffix" where the name may contain "c[a0.x + 1]".
Operand ParseOperand(std::string_view text, bool destination) {
    Operand op;
    text = Trim(text);
    if (!text.empty() && text.front() == '-') {
        if (destination) throw AsmError{"a destination cannot be negated"};
        op.negate = true;
        text = Trim(text.substr(1));
    }
    const size_t bracket = text.rfind(']');
    const size_t dot = text.find('.', bracket == std::string_view::npos ? 0 : bracket);
    ParseRegister(Trim(text.substr(0, dot)), &op);
    if (dot == std::string_view::npos) return op;

    const std::string_view suffix = Trim(text.substr(dot + 1));
    if (suffix.empty() || suffix.size() > 4) throw AsmError{"bad component suffix on \"" + std::string(text) + "\""};
    op.hasSuffix = true;
    std::array<int, 4> components{};
    for (size_t i = 0; i < suffix.size(); ++i) {
        components[i] = ComponentIndex(suffix[i]);
        if (components[i] < 0) throw AsmError{"bad component \"" + std::string(suffix) + "\""};
    }
    if (destination) {
        op.writeMask = 0;
        for (size_t i = 0; i < suffix.size(); ++i) {
            if (i > 0 && components[i] <= components[i - 1]) throw AsmError{"write mask out of order"};
            op.writeMask |= 1u << components[i];
        }
    } else {
        for (size_t i = 0; i < 4; ++i) {
            op.swizzle[i] = static_cast<uint8_t>(components[std::min(i, suffix.size() - 1)]);
        }
    }
    return op;
}

std::vector<std::string_view> SplitOperands(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    int depth = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '[') ++depth;
        if (i < text.size() && text[i] == ']') --depth;
        if (i == text.size() || (text[i] == ',' && depth == 0)) {
            parts.push_back(Trim(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    return parts;
}

// Components of `source` (after its swizzle) that the instruction reads.
uint32_t ComponentsRead(const OpcodeInfo& info, int sourceIndex, const Operand& dest, const Operand& source) {
    uint32_t positions = 0;  // source positions, before the swizzle
    switch (info.kind) {
    case OpKind::Vector: positions = dest.writeMask; break;
    case OpKind::Scalar: positions = 0x8; break;
    case OpKind::Dot: positions = info.dotSize == 3 ? 0x7 : 0xF; break;
    case OpKind::Matrix: positions = info.dotSize == 3 ? 0x7 : 0xF; break;
    case OpKind::Special:
        if (info.opcode == OP_LIT) positions = 0xB;                       // x, y, w
        else if (info.opcode == OP_DST) positions = sourceIndex == 0 ? 0x6 : 0xA;  // y z / y w
        else positions = 0x8;                                             // expp, logp
        break;
    case OpKind::None: break;
    }
    uint32_t components = 0;
    for (int i = 0; i < 4; ++i) {
        if (positions & (1u << i)) components |= 1u << source.swizzle[i];
    }
    return components;
}

class Assembler {
public:
    std::vector<uint32_t> Run(std::string_view source) {
        int lineNumber = 0;
        bool versionSeen = false;
        while (!source.empty()) {
            const size_t end = source.find('\n');
            const std::string_view raw = source.substr(0, end);
            source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
            ++lineNumber;
            const std::string line = Lower(Trim(StripComment(raw)));
            if (line.empty()) continue;
            try {
                if (!versionSeen) {
                    tokens_.push_back(ParseVersion(line));
                    versionSeen = true;
                } else {
                    AssembleInstruction(line);
                }
            } catch (const AsmError& e) {
                throw AsmError{"line " + std::to_string(lineNumber) + ": " + e.message};
            }
        }
        if (!versionSeen) throw AsmError{"no version line"};
        tokens_.push_back(kEndToken);
        return std::move(tokens_);
    }

private:
    static uint32_t ParseVersion(const std::string& line) {
        if (line == "vs.1.1" || line == "vs_1_1") return kVersion11;
        if (line == "vs.1.0" || line == "vs_1_0") return kVersion10;
        throw AsmError{"expected the version vs.1.1, got \"" + line + "\""};
    }

    void AssembleInstruction(const std::string& line) {
        const size_t space = line.find_first_of(" \t");
        const std::string name = line.substr(0, space);
        const OpcodeInfo* info = FindOpcode(name);
        if (!info) throw AsmError{"unknown instruction \"" + name + "\""};
        std::vector<std::string_view> parts;
        if (space != std::string::npos) parts = SplitOperands(Trim(std::string_view(line).substr(space)));
        const size_t expected = info->opcode == OP_NOP ? 0 : 1 + info->sourceCount;
        if (parts.size() != expected) throw AsmError{name + " takes " + std::to_string(expected) + " operands"};

        tokens_.push_back(info->opcode);
        if (expected == 0) return;
        const Operand dest = ParseOperand(parts[0], true);
        std::vector<Operand> sources;
        for (size_t i = 1; i < parts.size(); ++i) sources.push_back(ParseOperand(parts[i], false));
        CheckDestination(*info, dest);
        CheckSources(*info, dest, sources);
        tokens_.push_back(DestinationToken(dest.type, dest.number, dest.writeMask));
        for (const Operand& s : sources) {
            tokens_.push_back(SourceToken(s.type, s.number, s.SwizzleBits(), s.negate, s.relative));
        }
        MarkWritten(*info, dest);
    }

    static void CheckDestination(const OpcodeInfo& info, const Operand& dest) {
        if (dest.type == REG_INPUT || dest.type == REG_CONST) throw AsmError{"an input or constant cannot be written"};
        if (dest.type == REG_ADDR && (info.opcode != OP_MOV || dest.writeMask != 0x1)) {
            throw AsmError{"a0 is written only by mov a0.x"};
        }
    }

    void CheckSources(const OpcodeInfo& info, const Operand& dest, const std::vector<Operand>& sources) const {
        const Operand* constant = nullptr;
        const Operand* input = nullptr;
        for (size_t i = 0; i < sources.size(); ++i) {
            const Operand& s = sources[i];
            if (s.type != REG_TEMP && s.type != REG_INPUT && s.type != REG_CONST) {
                throw AsmError{"an output or a0 cannot be read"};
            }
            const Operand*& seen = s.type == REG_CONST ? constant : input;
            if (s.type != REG_TEMP) {
                if (seen && (seen->number != s.number || seen->relative != s.relative)) {
                    throw AsmError{"only one constant and one input register per instruction"};
                }
                seen = &s;
            }
            if (s.relative && !addressWritten_) throw AsmError{"a0.x read before it is written"};
            const bool matrix = info.kind == OpKind::Matrix && i == 1;
            if (matrix && (s.negate || s.hasSuffix)) throw AsmError{"the matrix of " + std::string(info.name) + " takes no modifier"};
            if (matrix && !s.relative && s.type == REG_CONST && s.number + info.rows > kConstantCount) {
                throw AsmError{"matrix rows run past the last constant"};
            }
            if (info.kind == OpKind::Matrix && s.type == dest.type && s.number == dest.number && !s.relative) {
                throw AsmError{"a matrix instruction cannot write one of its sources"};
            }
            if (s.type == REG_TEMP) CheckTempRead(info, s, matrix ? info.rows : 1, ComponentsRead(info, static_cast<int>(i), dest, s));
        }
    }

    void CheckTempRead(const OpcodeInfo& info, const Operand& s, int registers, uint32_t components) const {
        for (int r = 0; r < registers; ++r) {
            const uint32_t number = s.number + r;
            if (number >= kTempCount || (written_[number] & components) != components) {
                throw AsmError{"r" + std::to_string(number) + " read by " + std::string(info.name) + " before it is written"};
            }
        }
    }

    void MarkWritten(const OpcodeInfo& info, const Operand& dest) {
        if (dest.type == REG_ADDR) addressWritten_ = true;
        if (dest.type != REG_TEMP) return;
        uint32_t mask = dest.writeMask;
        if (info.kind == OpKind::Matrix) mask &= (1u << info.rows) - 1;
        written_[dest.number] |= mask;
    }

    std::vector<uint32_t> tokens_;
    std::array<uint32_t, kTempCount> written_{};
    bool addressWritten_ = false;
};

}  // namespace

bool AssembleVertexShader(std::string_view source, std::vector<uint32_t>* tokens, std::string* error) {
    tokens->clear();
    try {
        *tokens = Assembler().Run(source);
        return true;
    } catch (const AsmError& e) {
        if (error) *error = e.message;
        return false;
    }
}
