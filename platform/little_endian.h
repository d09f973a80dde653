#pragma once
// The 16- and 32-bit fields of the files and packets the programs read and
// write (archives, sound packs, pictures, replays, X files, datagrams) are
// little-endian whatever the machine: each is read and written byte by byte
// through these.
#include <cstdint>
#include <vector>

namespace platform {

constexpr uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

constexpr void WriteLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

constexpr void WriteLe32(uint8_t* p, uint32_t v) {
    WriteLe16(p, static_cast<uint16_t>(v));
    WriteLe16(p + 2, static_cast<uint16_t>(v >> 16));
}

inline void AppendLe16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
    AppendLe16(out, static_cast<uint16_t>(v));
    AppendLe16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace platform
