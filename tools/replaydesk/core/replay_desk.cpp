#include "tools/replaydesk/core/replay_desk.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "platform/cp932.h"
#include "platform/safe_file.h"
#include "tools/replaydesk/core/replay_summary.h"

namespace replaydesk {
namespace {

namespace fs = std::filesystem;

std::string LoadFailureText(LoadFailure failure) {
    switch (failure) {
        case LoadFailure::kMissing:
            return "ファイルが見つかりません。";
        case LoadFailure::kDenied:
            return "このファイルを読む権限がありません。";
        case LoadFailure::kNotAFile:
            return "通常のファイルではありません。";
        case LoadFailure::kTooLarge:
            return "リプレイファイルとしては大きすぎます（" + std::to_string(REPLAY_MAX_FILE_SIZE) +
                   " バイトまで）。";
        case LoadFailure::kTooShort:
            return "リプレイファイルとしては小さすぎます（" + std::to_string(REPLAY_HEADER_SIZE) +
                   " バイトに足りません）。";
        case LoadFailure::kUnreadable:
        case LoadFailure::kNone:
            break;
    }
    return "読み込み中にエラーが起きました。";
}

std::string SaveFailureText(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "このファイルへの書き込みは許可されていません（読み取り専用か、ほかのユーザーのファイルです）。";
        case EROFS:
            return "読み取り専用の場所にあるファイルです。";
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return "ディスクの空きが足りません。";
        case EISDIR:
        case EINVAL:
            return "通常のファイルではありません。";
        case ENOENT:
        case ENOTDIR:
            return "保存先のフォルダーが見つかりません。";
        default:
            return std::string("書き込みに失敗しました（") + std::strerror(error) + "）。";
    }
}

// The length of the well-formed UTF-8 character at the start of `text`, or 0.
size_t Utf8CharLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char c = byte(0);
    if (c < 0x80) return 1;
    const size_t length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (length == 0 || text.size() < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    // No overlong forms, surrogates or code points past U+10FFFF.
    if ((c == 0xE0 && byte(1) < 0xA0) || (c == 0xED && byte(1) >= 0xA0) || (c == 0xF0 && byte(1) < 0x90) ||
        (c == 0xF4 && byte(1) >= 0x90)) {
        return 0;
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (size_t n; !text.empty(); text.remove_prefix(n)) {
        if ((n = Utf8CharLength(text)) == 0) return false;
    }
    return true;
}

// `text` as UTF-8 where it is, each other byte and each control character
// as \xHH.
std::string EscapeUnreadable(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const size_t n = Utf8CharLength(text);
        const auto c = static_cast<unsigned char>(text[0]);
        if (n == 0 || c < 0x20 || c == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
            text.remove_prefix(1);
        } else {
            out += text.substr(0, n);
            text.remove_prefix(n);
        }
    }
    return out;
}

std::string DisplayElement(std::string_view element) {
    if (!IsUtf8(element)) {
        const std::string decoded = platform::Cp932ToUtf8(element);
        if (decoded.find("\xEF\xBF\xBD") == std::string::npos) return EscapeUnreadable(decoded);  // no U+FFFD
    }
    return EscapeUnreadable(element);
}

}  // namespace

ReplayDesk::ReplayDesk(FileChooser chooseReplayFile, std::string programFolder)
    : chooseReplayFile_(std::move(chooseReplayFile)), programFolder_(std::move(programFolder)) {
    std::error_code ec;
    for (fs::directory_iterator entry(fs::path(programFolder_) / "replay", ec), end; !ec && entry != end;
         entry.increment(ec)) {
        if (entry->path().extension() == ".rpl") platform::RemoveLeftoverTemporaries(entry->path().string());
    }
}

bool ReplayDesk::Open() {
    failure_.clear();
    const std::optional<std::string> chosen = chooseReplayFile_(programFolder_);
    return chosen && Load(*chosen);
}

bool ReplayDesk::Load(const std::string& path) {
    const LoadResult result = LoadReplay(path, loadedReplay_);
    if (!result) {
        failure_ = "リプレイファイルを開けませんでした。\n" + DisplayPath(path) + "\n" + LoadFailureText(result.failure);
        return false;
    }
    failure_.clear();
    platform::RemoveLeftoverTemporaries(path);
    replayPath_ = path;
    replayShown_ = true;
    return true;
}

bool ReplayDesk::Update(std::string_view commentText, bool commentEdited) {
    if (!replayShown_) return false;
    // The edit is kept only once it is in the file.
    ReplayRecord edited = loadedReplay_;
    if (commentEdited) StoreEditedComment(edited.header, platform::Utf8ToCp932(commentText));
    const SaveResult result = SaveReplay(replayPath_, edited);
    if (!result) {
        failure_ = "コメントを保存できませんでした。\n" + PathText() + "\n" + SaveFailureText(result.error);
        return false;
    }
    failure_.clear();
    loadedReplay_ = std::move(edited);
    return true;
}

std::string ReplayDesk::SummaryText() const {
    if (!replayShown_) return {};
    return platform::Cp932ToUtf8(FormatReplaySummary(loadedReplay_.header));
}

std::string ReplayDesk::CommentText() const {
    if (!replayShown_) return {};
    return platform::Cp932ToUtf8(ShownComment(loadedReplay_.header));
}

std::string ReplayDesk::PathText() const { return DisplayPath(replayPath_); }

std::string DisplayPath(std::string_view path) {
    std::string out;
    for (size_t start = 0; start <= path.size();) {
        const size_t slash = std::min(path.find('/', start), path.size());
        out += DisplayElement(path.substr(start, slash - start));
        if (slash < path.size()) out += '/';
        start = slash + 1;
    }
    return out;
}

}  // namespace replaydesk
