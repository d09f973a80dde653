#pragma once
#include <optional>
#include <string>

namespace launcher {

// What the launcher records of an install under the maker's registry key,
// which all of the maker's games share: the install folder in a value named
// after the game's folder name, and the install state ("FALSE" while
// copying, "TRUE" once done) in that name followed by "InstallState".
class InstallRecord {
public:
    static constexpr const char* kKeyPath = "Software\\Tessaphoro";

    explicit InstallRecord(const std::string& instDir)
        : pathValue_(instDir), stateValue_(instDir + "InstallState") {}

    // True exactly when the state value reads "TRUE".
    bool IsInstalled() const;
    // The recorded install folder; empty when missing or empty.
    std::optional<std::string> GetInstallDir() const;

    bool WriteInstallDir(const std::string& dir);
    bool WriteInstallState(bool done);
    void DeleteInstallState();
    // Removes this game's install-folder value; the shared key goes too when
    // no other game's value is left in it.
    void RemoveRegistryEntries();

    // This game's two values as they are, to be put back after a failed
    // install: a value that was missing is removed again, and the shared key
    // goes when nothing is left in it.
    struct Saved {
        std::optional<std::string> dir;
        std::optional<std::string> state;
    };
    Saved Save() const;
    void Restore(const Saved& saved);

private:
    bool Write(const std::string& name, const std::string& data);
    std::string pathValue_;
    std::string stateValue_;
};

}  // namespace launcher
