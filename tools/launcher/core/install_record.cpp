#include "tools/launcher/core/install_record.h"

#include "platform/registry.h"

#include <algorithm>

namespace launcher {

using platform::RegistryKey;

bool InstallRecord::IsInstalled() const {
    auto key = RegistryKey::Open(kKeyPath);
    return key && key->QueryValue(stateValue_) == "TRUE";
}

std::optional<std::string> InstallRecord::GetInstallDir() const {
    auto key = RegistryKey::Open(kKeyPath);
    if (!key) return std::nullopt;
    auto dir = key->QueryValue(pathValue_);
    if (!dir || dir->empty()) return std::nullopt;
    return dir;
}

bool InstallRecord::Write(const std::string& name, const std::string& data) {
    auto key = RegistryKey::Create(kKeyPath);
    return key && key->SetValue(name, data);
}

bool InstallRecord::WriteInstallDir(const std::string& dir) { return Write(pathValue_, dir); }

bool InstallRecord::WriteInstallState(bool done) { return Write(stateValue_, done ? "TRUE" : "FALSE"); }

void InstallRecord::DeleteInstallState() {
    if (auto key = RegistryKey::Open(kKeyPath)) key->DeleteValue(stateValue_);
}

void InstallRecord::RemoveRegistryEntries() {
    auto key = RegistryKey::Open(kKeyPath);
    if (!key) return;
    const std::vector<std::string> names = key->ValueNames();
    const bool onlyOwnValues = std::all_of(names.begin(), names.end(), [&](const std::string& name) {
        return RegistryKey::SameName(name, pathValue_) || RegistryKey::SameName(name, stateValue_);
    });
    if (onlyOwnValues) {
        RegistryKey::DeleteKey(kKeyPath);
    } else {
        key->DeleteValue(pathValue_);
    }
}

InstallRecord::Saved InstallRecord::Save() const {
    auto key = RegistryKey::Open(kKeyPath);
    if (!key) return {};
    return {key->QueryValue(pathValue_), key->QueryValue(stateValue_)};
}

void InstallRecord::Restore(const Saved& saved) {
    auto key = RegistryKey::Open(kKeyPath);
    if (!key) return;
    const std::pair<const std::string&, const std::optional<std::string>&> values[] = {{pathValue_, saved.dir},
                                                                                       {stateValue_, saved.state}};
    for (const auto& [name, data] : values) {
        if (data) {
            key->SetValue(name, *data);
        } else {
            key->DeleteValue(name);
        }
    }
    if (key->ValueNames().empty()) RegistryKey::DeleteKey(kKeyPath);
}

}  // namespace launcher
