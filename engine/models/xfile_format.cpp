#include "engine/models/xfile_format.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace xfile {

bool ReadXHeader(const uint8_t* data, size_t size, XHeader* out, std::string* error) {
    auto fail = [&](const char* reason) {
        if (error) *error = reason;
        return false;
    };
    if (size < X_HEADER_SIZE) return fail("shorter than an X header");
    const char* h = reinterpret_cast<const char*>(data);
    if (std::memcmp(h, "xof 03", 6) != 0 || !std::isdigit(static_cast<unsigned char>(h[6])) ||
        !std::isdigit(static_cast<unsigned char>(h[7])))
        return fail("not X data (header)");
    XHeader header;
    if (std::memcmp(h + 8, "txt ", 4) == 0) {
    } else if (std::memcmp(h + 8, "bin ", 4) == 0) {
        header.binary = true;
    } else if (std::memcmp(h + 8, "tzip", 4) == 0 || std::memcmp(h + 8, "bzip", 4) == 0) {
        header.compressed = true;
        header.binary = h[8] == 'b';
    } else {
        return fail("unknown X encoding");
    }
    if (std::memcmp(h + 12, "0064", 4) == 0) header.doubles = true;
    else if (std::memcmp(h + 12, "0032", 4) != 0) return fail("unknown X float size");
    *out = header;
    return true;
}

std::string FormatGuid(const uint8_t b[16]) {
    char text[40];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

std::string NormalizeGuid(const std::string& text) {
    std::string out;
    for (unsigned char c : text)
        if (!std::isspace(c)) out += static_cast<char>(std::toupper(c));
    return out;
}

}  // namespace xfile
