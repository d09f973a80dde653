#include "tests/support/damaged_data.h"

#include <fstream>
#include <iterator>

#include "platform/little_endian.h"

namespace test {

const char* DamageName(Damage damage) {
    switch (damage) {
    case Damage::MagicOnly: return "magic only";
    case Damage::CutTo10: return "cut to 10 %";
    case Damage::CutTo50: return "cut to 50 %";
    case Damage::FlippedEntries: return "flipped entry headers";
    case Damage::HugeSize: return "size field 0xFFFFFFFF";
    }
    return "?";
}

std::vector<uint8_t> Damaged(std::vector<uint8_t> bytes, Damage damage, const EntryLayout& layout) {
    switch (damage) {
    case Damage::MagicOnly:
        bytes.resize(layout.header);
        break;
    case Damage::CutTo10:
        bytes.resize(bytes.size() / 10);
        break;
    case Damage::CutTo50:
        bytes.resize(bytes.size() / 2);
        break;
    case Damage::FlippedEntries: {
        // The chain is walked on the whole sizes before each header is inverted.
        for (size_t at = layout.header; at + layout.entryHead <= bytes.size();) {
            const size_t next = at + layout.entryHead + layout.dataAfterHead + platform::ReadLe32(bytes.data() + at + layout.sizeField);
            for (size_t i = at; i < at + layout.entryHead; ++i) bytes[i] ^= 0xFF;
            at = next;
        }
        break;
    }
    case Damage::HugeSize:
        for (size_t i = 0; i < 4; ++i) bytes[layout.header + layout.sizeField + i] = 0xFF;
        break;
    }
    return bytes;
}

std::vector<uint8_t> ReadBinaryFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); !part.empty() && at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace test
