#pragma once
#include <cstddef>

// Copies `text` into `out` (of `size` bytes, at least 1), cut where needed at
// a character boundary so that no lead byte is left without its trail byte;
// the copy is always terminated.
void CopyCp932Text(char* out, size_t size, const char* text);
