#pragma once
// Data files damaged the ways a disk, a download or an editor damages them,
// for the tests of how the game names a data file it cannot use.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

enum class Damage {
    MagicOnly,       // nothing but the file's own header
    CutTo10,         // the first tenth
    CutTo50,         // the first half
    FlippedEntries,  // every byte of every entry header inverted
    HugeSize,        // the first entry's size field 0xFFFFFFFF
};
inline constexpr Damage kEveryDamage[] = {Damage::MagicOnly, Damage::CutTo10, Damage::CutTo50,
                                          Damage::FlippedEntries, Damage::HugeSize};

const char* DamageName(Damage damage);

// Where the entries of a data file of back-to-back entries lie: the file's
// header, then entries of a fixed header (`entryHead` bytes, holding the
// u32 count of the data bytes that follow it at `sizeField`).
struct EntryLayout {
    size_t header;
    size_t entryHead;
    size_t sizeField;
    size_t dataAfterHead;  // bytes between the entry header and its data
};
inline constexpr EntryLayout kKagLayout{8, 32, 28, 0};
inline constexpr EntryLayout kKsdLayout{4, 36, 32, 18};  // name, size; then the 18-byte format

std::vector<uint8_t> Damaged(std::vector<uint8_t> bytes, Damage damage, const EntryLayout& layout);

std::vector<uint8_t> ReadBinaryFile(const std::string& path);
void WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes);

// How many times `part` occurs in `text`.
size_t CountOf(const std::string& text, const std::string& part);

}  // namespace test
