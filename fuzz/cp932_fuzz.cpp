// CP932 text from files (replay comments, labels) and UTF-8 from the widget
// toolkit, through both conversions and the character-boundary cut.
#include <string>
#include <string_view>

#include "engine/core/cp932_text.h"
#include "fuzz/fuzz_support.h"
#include "platform/cp932.h"

using platform::Cp932CharLength;
using platform::Cp932Prefix;
using platform::Cp932ToUtf8;
using platform::Utf8ToCp932;

namespace {

// The cut is a start of the text, never longer than allowed, ends on a
// character boundary and stops only where the next character would not fit.
void CheckPrefix(std::string_view text, size_t maxBytes) {
    const std::string_view prefix = Cp932Prefix(text, maxBytes);
    FUZZ_CHECK(prefix.size() <= maxBytes);
    FUZZ_CHECK(text.starts_with(prefix));
    size_t end = 0;
    while (end < prefix.size()) end += Cp932CharLength(text.substr(end));
    FUZZ_CHECK(end == prefix.size());
    if (prefix.size() < text.size()) FUZZ_CHECK(end + Cp932CharLength(text.substr(end)) > maxBytes);
}

// The terminated copy into a buffer of `size` bytes (text up to its NUL).
void CheckCopy(std::string_view text, size_t size) {
    const std::string terminated(text);
    std::string buffer(size + 1, '\x7F');  // one guard byte behind the buffer
    CopyCp932Text(buffer.data(), size, terminated.c_str());
    FUZZ_CHECK(buffer[size] == '\x7F');
    const std::string_view copy(buffer.c_str());
    FUZZ_CHECK(copy == Cp932Prefix(terminated.c_str(), size - 1));
}

}  // namespace

// The first byte is the cut's byte limit, the rest the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t maxBytes = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    CheckPrefix(text, maxBytes);
    CheckCopy(text, maxBytes + 1);

    const std::string utf8 = Cp932ToUtf8(text);
    FUZZ_CHECK(fuzz::IsValidUtf8(utf8));

    // Encoding what decoding gave, and again, settles on the same bytes.
    const std::string cp932 = Utf8ToCp932(text);
    FUZZ_CHECK(Utf8ToCp932(Cp932ToUtf8(cp932)) == cp932);
    FUZZ_CHECK(Utf8ToCp932(utf8).size() <= 2 * utf8.size());
    return 0;
}

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    const std::string_view texts[] = {
        "Tobrazel(Ver1.0) \r\nMatch:",
        "2重起動は出来ません",
        "キルネ(w) vs ベモ \r\nコメント\n１２３ｱｲｳ",
        "①ⅰ￢∵≒", // NEC and IBM extensions
    };
    int n = 0;
    for (std::string_view text : texts) {
        const std::string cp932 = Utf8ToCp932(text);
        seeds.Add("cp932_" + std::to_string(n), std::string(1, '\x10') + cp932);
        seeds.Add("utf8_" + std::to_string(n), std::string(1, '\x07') + std::string(text));
        // A lead byte cut off at the end of the text.
        seeds.Add("cut_" + std::to_string(n), std::string(1, '\xFF') + cp932.substr(0, cp932.size() - 1));
        ++n;
    }
}
