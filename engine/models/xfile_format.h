#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// What the X-format reader and writer share: the 16-byte header and the
// token codes of the binary encoding.

namespace xfile {

inline constexpr size_t X_HEADER_SIZE = 16;

// Binary tokens: little-endian 16-bit codes, some followed by their record.
enum XToken : uint16_t {
    X_TOKEN_NAME = 1,          // u32 length, bytes
    X_TOKEN_STRING = 2,        // u32 length, bytes, a separator token
    X_TOKEN_INTEGER = 3,       // u32
    X_TOKEN_GUID = 5,          // 16 bytes
    X_TOKEN_INTEGER_LIST = 6,  // u32 count, count u32
    X_TOKEN_FLOAT_LIST = 7,    // u32 count, count floats (doubles in 64-bit files)
    X_TOKEN_OBRACE = 10,
    X_TOKEN_CBRACE = 11,
    X_TOKEN_OPAREN = 12,  // 12 to 18: brackets and the dot, template declarations only
    X_TOKEN_COMMA = 19,
    X_TOKEN_SEMICOLON = 20,
    X_TOKEN_TEMPLATE = 31,
    X_TOKEN_FIRST_KEYWORD = 40,  // WORD, DWORD, FLOAT, ... ARRAY: template declarations only
    X_TOKEN_LAST_KEYWORD = 52,
};

enum class XEncoding { Text, Binary };

struct XHeader {
    bool binary = false;
    bool compressed = false;
    bool doubles = false;  // 64-bit floats
};

// "xof " + version "03xx" + "txt ", "bin ", "tzip" or "bzip" + "0032" or "0064".
bool ReadXHeader(const uint8_t* data, size_t size, XHeader* out, std::string* error);

// The 16 bytes of a binary GUID as text, "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX".
std::string FormatGuid(const uint8_t bytes[16]);
// A GUID spelt in a text file, upper-cased and stripped of blanks, so that the
// two spellings compare equal.
std::string NormalizeGuid(const std::string& text);

}  // namespace xfile
