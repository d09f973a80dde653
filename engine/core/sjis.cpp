#include "engine/core/sjis.h"

int IsSjisLeadByte(unsigned char c) { return ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFE)) ? 1 : 0; }

namespace {

bool IsSingleByteChar(unsigned char c) { return c <= 0x80 || (c >= 0xA0 && c <= 0xDF) || c == 0xFF; }

}  // namespace

int ReadSjisChar(const unsigned char* s, uint16_t* code) {
    if (IsSingleByteChar(s[0]) || s[1] == 0) {
        *code = s[0];
        return 1;
    }
    *code = static_cast<uint16_t>((s[0] << 8) + s[1]);
    return 2;
}
