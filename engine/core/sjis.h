#pragma once
#include <cstdint>

// Shift-JIS (CP932) character reading for the engine's text walkers.

// 1 for a byte that starts a two-byte character (0x81..0x9F, 0xE0..0xFE).
int IsSjisLeadByte(unsigned char c);

// Reads the character at s into *code and returns its length: bytes up to
// 0x80, 0xA0..0xDF and 0xFF are one-byte characters; any other byte starts a
// two-byte character, code = (s[0] << 8) + s[1]. A lead byte followed by the
// terminating zero is read as one byte, so a walker never steps past the end.
int ReadSjisChar(const unsigned char* s, uint16_t* code);
