#pragma once
#include <string>
#include <string_view>

namespace platform {

// Texts stay CP932 bytes inside the programs; these convert at the boundary
// to the window system or the widget toolkit, which speak UTF-8.

// Bytes that are not valid CP932 become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// Characters that CP932 cannot encode (and invalid UTF-8) become `replacement`.
std::string Utf8ToCp932(std::string_view utf8, char replacement = '?');

// Length of the CP932 character starting at text[0]: 2 for a lead byte followed
// by a non-NUL trail byte, else 1 (0 for an empty text).
size_t Cp932CharLength(std::string_view text);

// The longest start of `text` of at most `maxBytes` bytes that does not split
// a double-byte character.
std::string_view Cp932Prefix(std::string_view text, size_t maxBytes);

}  // namespace platform
