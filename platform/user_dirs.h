#pragma once
#include <filesystem>

namespace platform {

// The user's folders of the XDG base directory layout, standing in for the
// Windows special folders. Each follows its environment variable when that
// holds an absolute path, else the default below the home folder ($HOME, or
// the password database when HOME is unset).
std::filesystem::path UserHomeDir();
std::filesystem::path UserDataDir();      // $XDG_DATA_HOME or ~/.local/share
std::filesystem::path UserConfigDir();    // $XDG_CONFIG_HOME or ~/.config
std::filesystem::path UserProgramsDir();  // the applications menu: <data>/applications

}  // namespace platform
