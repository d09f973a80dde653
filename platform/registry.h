#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The registry of the Windows programs, kept per user in files under
// $XDG_CONFIG_HOME/aerial-registry (or ~/.config/...): one file per key, named
// after the key path ("Software\\Maker" becomes Software/Maker.values). Value
// names compare ASCII-case-insensitively as in the Windows registry; every
// change rewrites the key's file atomically. Values are byte strings.
class RegistryKey {
public:
    // Opens an existing key; empty when it does not exist or the path is not
    // a plain backslash-separated key path.
    static std::optional<RegistryKey> Open(std::string_view keyPath);
    // Opens the key, creating it (and nothing else) when missing.
    static std::optional<RegistryKey> Create(std::string_view keyPath);
    // Removes the key with all its values; true when it is gone.
    static bool DeleteKey(std::string_view keyPath);

    // The value's data; empty when the value is missing, unreadable or longer
    // than the callers' 511-byte read buffers.
    std::optional<std::string> QueryValue(std::string_view name) const;
    bool SetValue(std::string_view name, std::string_view data);
    // True when the value existed and was removed.
    bool DeleteValue(std::string_view name);
    // Names of the key's values, in the order they were first written.
    std::vector<std::string> ValueNames() const;

    static constexpr size_t kMaxValueBytes = 511;

    // Whether two value names name the same value.
    static bool SameName(std::string_view a, std::string_view b);

private:
    explicit RegistryKey(std::string file) : file_(std::move(file)) {}
    std::string file_;
};

}  // namespace platform
