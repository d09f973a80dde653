#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Assembles vs.1.1 vertex shader text into the Direct3D 8 token stream, as the
// Direct3D utility library's shader assembler does (no flags, no constant
// declarations, no debug comments).
//
// Accepted text: a version line "vs.1.1" (or vs.1.0, vs_1_1, vs_1_0) before any
// instruction; then one instruction per line; comments from ';' or "//" to the
// line end; names in any case. Operands: r0-r11, v0-v15, c0-c95 written cN,
// c[N], c[a0.x], c[a0.x + N] or c[N + a0.x], a0.x, oPos, oFog, oPts, oD0-oD1,
// oT0-oT7; destination write masks (.xyzw or .rgba letters in order);
// source swizzles of one to four letters (the last one repeats) and negation.
//
// The vs.1.1 rules are checked as the reference assembler checks them: operand
// counts and kinds, at most one constant and one input register per
// instruction, a0.x written only by mov, no source modifiers on a matrix
// instruction's matrix, no matrix instruction writing one of its sources, and
// no read of a temporary register component (or of a0.x) before it is written.
// Any error fails the whole text.
//
// Returns true and the tokens on success; on failure false, `tokens` emptied,
// and a message naming the line in `error` when given.
bool AssembleVertexShader(std::string_view source, std::vector<uint32_t>* tokens, std::string* error = nullptr);
