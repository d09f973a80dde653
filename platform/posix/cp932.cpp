#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

size_t Utf8SequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

// Converts with iconv, calling `skip` to replace the input that the target
// cannot take (the skipped byte count is returned by `skip`).
template <typename Skip>
std::string Convert(const char* to, const char* from, std::string_view in, Skip skip) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (rc != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        size_t skipped = skip(std::string_view(src, srcLeft), out);
        src += skipped;
        srcLeft -= skipped;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    return Convert("UTF-8", "CP932", cp932, [](std::string_view rest, std::string& out) {
        out += "\xEF\xBF\xBD";
        return Cp932CharLength(rest);
    });
}

std::string Utf8ToCp932(std::string_view utf8, char replacement) {
    return Convert("CP932", "UTF-8", utf8, [replacement](std::string_view rest, std::string& out) {
        out += replacement;
        size_t n = Utf8SequenceLength(static_cast<unsigned char>(rest[0]));
        return n <= rest.size() ? n : rest.size();
    });
}

size_t Cp932CharLength(std::string_view text) {
    if (text.empty()) return 0;
    if (IsLeadByte(static_cast<unsigned char>(text[0])) && text.size() > 1 && text[1] != '\0') return 2;
    return 1;
}

std::string_view Cp932Prefix(std::string_view text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        const size_t next = end + Cp932CharLength(text.substr(end));
        if (next > maxBytes) break;
        end = next;
    }
    return text.substr(0, end);
}

}  // namespace platform
