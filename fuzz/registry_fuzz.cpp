// The launcher's registry store, a file per key that the user may damage: the
// install record read from it, and values written into it.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/registry.h"
#include "platform/user_dirs.h"
#include "tools/launcher/core/install_record.h"

using launcher::InstallRecord;
using platform::RegistryKey;

namespace {

// The file of InstallRecord's key in the store.
std::string KeyFile() {
    const std::filesystem::path folder = platform::UserConfigDir() / "aerial-registry" / "software";
    std::filesystem::create_directories(folder);
    return (folder / "tessaphoro.values").string();
}

size_t CountNamed(const std::vector<std::string>& names, std::string_view name) {
    return std::ranges::count_if(names, [&](const std::string& n) { return RegistryKey::SameName(n, name); });
}

}  // namespace

// The input is the key's file; its first bytes also name a value written
// into the key, and its start is that value's data.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteFile(KeyFile(), {data, size});
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    InstallRecord record("Game");
    record.IsInstalled();
    if (const auto dir = record.GetInstallDir()) FUZZ_CHECK(!dir->empty() && dir->size() <= RegistryKey::kMaxValueBytes);

    auto key = RegistryKey::Open(InstallRecord::kKeyPath);
    FUZZ_CHECK(key.has_value());
    const std::vector<std::string> before = key->ValueNames();
    for (const std::string& name : before) {
        if (const auto value = key->QueryValue(name)) FUZZ_CHECK(value->size() <= RegistryKey::kMaxValueBytes);
    }

    // Any bytes written as a name and a value read back as written.
    const std::string name(input.substr(0, 12));
    const std::string value(input.substr(0, RegistryKey::kMaxValueBytes));
    FUZZ_CHECK(key->SetValue(name, value));
    FUZZ_CHECK(key->QueryValue(name) == value);
    const std::vector<std::string> after = key->ValueNames();
    FUZZ_CHECK(after.size() == before.size() + (CountNamed(before, name) == 0 ? 1 : 0));

    // The record's values go; the key too when nothing else is left in it.
    const bool onlyRecord = std::ranges::all_of(after, [](const std::string& n) {
        return RegistryKey::SameName(n, "Game") || RegistryKey::SameName(n, "GameInstallState");
    });
    record.RemoveRegistryEntries();
    const auto left = RegistryKey::Open(InstallRecord::kKeyPath);
    FUZZ_CHECK(left.has_value() == !onlyRecord);
    if (left) {
        const size_t games = CountNamed(after, "Game");
        FUZZ_CHECK(CountNamed(left->ValueNames(), "Game") == (games == 0 ? 0 : games - 1));
    }
    return 0;
}

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    InstallRecord record("Tobrazel");
    FUZZ_CHECK(record.WriteInstallDir("/home/user/\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0/Tobrazel"));
    FUZZ_CHECK(record.WriteInstallState(false));
    seeds.AddFile("copying.values", KeyFile());
    FUZZ_CHECK(record.WriteInstallState(true));
    InstallRecord("Game").WriteInstallDir("C:\\Games\\Game=1%;\n");
    seeds.AddFile("two_games.values", KeyFile());
}
