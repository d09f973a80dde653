#include "engine/core/cp932_text.h"

#include <cstring>
#include <string_view>

#include "platform/cp932.h"

void CopyCp932Text(char* out, size_t size, const char* text) {
    std::string_view rest(text);
    size_t used = 0;
    while (!rest.empty()) {
        size_t length = platform::Cp932CharLength(rest);
        if (used + length > size - 1) break;
        used += length;
        rest.remove_prefix(length);
    }
    std::memcpy(out, text, used);
    out[used] = '\0';
}
