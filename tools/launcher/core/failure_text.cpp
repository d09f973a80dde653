#include "tools/launcher/core/failure_text.h"

#include "tools/launcher/core/texts.h"

#include <cerrno>

namespace launcher {

namespace {

std::string Reason(std::error_code error) {
    switch (error.default_error_condition().value()) {
    case ENOENT: return text::kNotFound;
    case EACCES:
    case EPERM: return text::kNoPermission;
    case ENAMETOOLONG: return text::kNameTooLong;
    case ELOOP: return text::kLinkLoop;
    case ENOTDIR: return text::kNotAFolderOnTheWay;
    case EISDIR:
    case EEXIST: return text::kSomethingInTheWay;
    case EROFS: return text::kReadOnlyPlace;
    case ENOTSUP: return text::kNotAFile;
    case EFBIG: return text::kTooLarge;
    case ENOSPC:
    case EDQUOT: return text::kNoSpace;
    default: return text::kOtherError + std::to_string(error.value());
    }
}

}  // namespace

std::string DescribeFailure(std::string_view what, const std::filesystem::path& path, std::error_code error) {
    return std::string(what) + "「" + path.string() + "」" + Reason(error);
}

}  // namespace launcher
