#include "tools/launcher/core/failure_text.h"

#include "tools/launcher/core/texts.h"

#include <sys/stat.h>

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
    case EIO: return text::kInputOutputError;
    default: return text::kOtherError + std::to_string(error.value());
    }
}

}  // namespace

std::string DescribeFailure(std::string_view what, const std::filesystem::path& path, std::error_code error) {
    return std::string(what) + "「" + path.string() + "」" + Reason(error);
}

std::error_code OpenFailureCause(const std::filesystem::path& path, int error) {
    struct stat info {};
    if (error == EINVAL && stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : ENOTSUP;
    }
    return std::error_code(error, std::generic_category());
}

}  // namespace launcher
