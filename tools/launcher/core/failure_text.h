#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace launcher {

// A failure in the user's words: what the path was ("インストール先フォルダ"),
// the path, and the system's reason ("の名前が長すぎます。").
std::string DescribeFailure(std::string_view what, const std::filesystem::path& path, std::error_code error);

}  // namespace launcher
