#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace launcher {

// A failure in the user's words: what the path was ("インストール先フォルダ"),
// the path, and the system's reason ("の名前が長すぎます。").
std::string DescribeFailure(std::string_view what, const std::filesystem::path& path, std::error_code error);

// Why platform::OpenRegularFile refused `path`, from the errno it left. Its
// "invalid argument" for anything that is no regular file becomes the kind of
// thing found there (a folder, or a pipe or device), which the user can act on.
std::error_code OpenFailureCause(const std::filesystem::path& path, int error);

}  // namespace launcher
