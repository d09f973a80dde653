#include "game/screens/replay_list.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "engine/graphics/font.h"
#include "engine/graphics/texture.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/title_menu.h"
#include "game/screens/title_ui.h"
#include "platform/glyphs.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

std::vector<ReplayHeader> replayHeaders;
std::vector<std::string> replayFileNames;
std::vector<std::string> replayPaths;
int32_t playedReplayIndex = 0;
Texture* commentSheet = nullptr;

namespace {

namespace fs = std::filesystem;

int32_t ReplayCount() { return static_cast<int32_t>(replayHeaders.size()); }

bool HasReplaySuffix(const std::string& name) {
    constexpr char suffix[] = ".rpl";
    constexpr size_t length = sizeof suffix - 1;
    if (name.size() < length) return false;
    return std::equal(name.end() - length, name.end(), suffix,
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

// The names of the regular "*.rpl" files of the folder, sorted. What replay
// saves killed before their rename left there goes on the way: temporaries
// of the names the game's writer gives and of the replays listed, which the
// replay tool rewrites. A user's own file that only looks like one stays.
std::vector<std::string> ListReplayNames() {
    std::vector<std::string> names;
    std::vector<std::pair<std::string, std::string>> leftovers;  // path, the file it was to become
    std::error_code error;
    for (fs::directory_iterator it(platform::ResolvePath("replay"), error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        std::string target = platform::TemporaryTarget(name);
        if (HasReplaySuffix(target)) leftovers.emplace_back(it->path().string(), std::move(target));
        std::error_code statusError;
        if (!fs::is_regular_file(it->symlink_status(statusError))) continue;
        if (HasReplaySuffix(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    for (const auto& [leftover, target] : leftovers) {
        if (IsMadeReplayFileName(target) || std::binary_search(names.begin(), names.end(), target)) {
            platform::RemoveLeftoverTemporary(leftover);
        }
    }
    return names;
}

// The header of a listed replay, or false when the file cannot be opened or
// read whole or is no replay.
bool ReadListedHeader(const std::string& path, ReplayHeader& header) {
    const platform::FilePtr file = platform::OpenRegularFile(path);
    if (!file) return false;
    uint8_t bytes[REPLAY_HEADER_SIZE] = {};
    if (std::fread(bytes, 1, sizeof bytes, file.get()) != sizeof bytes) return false;
    header = ReadReplayHeader(bytes);
    return header.formatId == REPLAY_FORMAT_ID;
}

// The entry of a page and row when it exists.
bool EntryExists(int32_t page, int32_t row) { return page * REPLAY_ROWS_PER_PAGE + row <= ReplayCount() - 1; }

int32_t LastPage() { return (ReplayCount() - 1) / REPLAY_ROWS_PER_PAGE; }
int32_t LastRow() { return (ReplayCount() - 1) % REPLAY_ROWS_PER_PAGE; }

// A row kept across a page change, or the last row when it has no entry there.
void KeepRowOnPage() {
    if (!EntryExists(replayPage, titleCursor)) titleCursor = LastRow();
}

void MoveUp() {
    if (--titleCursor >= 0) return;
    replayPage = replayPage == 0 ? LastPage() : replayPage - 1;
    titleCursor = REPLAY_ROWS_PER_PAGE - 1;
    KeepRowOnPage();
    replayListAlpha = 0.0f;
}

void MoveDown() {
    ++titleCursor;
    if (!EntryExists(replayPage, titleCursor)) {
        replayPage = 0;
        titleCursor = 0;
        replayListAlpha = 0.0f;
    } else if (titleCursor >= REPLAY_ROWS_PER_PAGE) {
        replayPage = replayPage == LastPage() ? 0 : replayPage + 1;
        titleCursor = 0;
        replayListAlpha = 0.0f;
    }
}

void TurnPage(int32_t step) {
    const int32_t pages = LastPage() + 1;
    replayPage = ((replayPage + step) % pages + pages) % pages;
    KeepRowOnPage();
    replayListAlpha = 0.0f;
}

// ---- Drawing ---------------------------------------------------------------

using title_sheets::Cell;

constexpr int kRowLeft = 20;
constexpr int kRowRight = 360;

void DrawDigit(int left, int top, int width, int height, int digit, int alpha) {
    DrawSheetCell(replayFontTexture, {left, top, left + width, top + height},
                  title_sheets::ReplayDigit(std::clamp(digit, 0, 9)), alpha);
}

// A number in `count` digits, leading zeros shown.
void DrawNumber(int32_t value, int count, int left, int top, int alpha) {
    for (int k = count; k >= 1; --k, left += 12) DrawDigit(left, top, 12, 18, GetDigit(std::max(value, 0), k), alpha);
}

// "yyyy/mm/dd hh:mm" from the stored digits; a blank tens digit is left out.
void DrawDate(const uint8_t (&digits)[REPLAY_DATE_DIGITS], int left, int top, int alpha) {
    for (int i = 0; i < static_cast<int>(REPLAY_DATE_DIGITS); ++i) {
        if (i == 4 || i == 6) {
            DrawSheetCell(replayFontTexture, {left, top, left + 10, top + 16}, title_sheets::kReplaySlash, alpha);
            left += 10;
        } else if (i == 8) {
            left += 6;
        } else if (i == 10) {
            DrawSheetCell(replayFontTexture, {left, top, left + 10, top + 16}, title_sheets::kReplayColon, alpha);
            left += 10;
        }
        if (digits[i] <= 9) DrawDigit(left, top, 10, 16, digits[i], alpha);
        left += 10;
    }
}

void DrawFace(int32_t id, int left, int top, int alpha) {
    if (id < 1 || id > 8) return;
    DrawSheetCell(replayFontTexture, {left, top, left + 40, top + 40}, title_sheets::ReplayFace(id), alpha);
}

void DrawReplayRow(int32_t index, int top, bool lit) {
    const ReplayHeader& h = replayHeaders[static_cast<size_t>(index)];
    const int slide = static_cast<int>((1.0f - replayListAlpha) * 60.0f);
    const int x = kRowLeft + slide;
    FillBar({x, top, kRowRight + slide, top + 60},
            static_cast<uint32_t>(AlphaLevel(replayListAlpha * (lit ? 100.0f : 50.0f) / 255.0f)) << 24 | 0x203040);
    const int alpha = lit ? 255 : AlphaLevel(replayListAlpha * 100.0f / 255.0f);
    DrawNumber(index + 1, 3, x + 4, top + 4, alpha);
    DrawFace(h.p1CharacterId, x + 44, top + 10, alpha);
    DrawSheetCell(replayFontTexture, {x + 86, top + 24, x + 110, top + 36}, title_sheets::kReplayVersus, alpha);
    DrawFace(h.p2CharacterId, x + 112, top + 10, alpha);
    if (h.winnerSide == 0 || h.winnerSide == 1) {
        const int faceLeft = h.winnerSide == 0 ? x + 44 : x + 112;
        DrawSheetCell(replayFontTexture, {faceLeft, top + 40, faceLeft + 40, top + 56}, title_sheets::kReplayWinner,
                      alpha);
    }
    if (h.gameMode >= MODE_PRACTICE && h.gameMode <= MODE_ARCADE)
        DrawSheetCell(replayFontTexture, {x + 160, top + 2, x + 260, top + 20}, title_sheets::ReplayMode(h.gameMode),
                      alpha);
    if (h.gameMode == MODE_ARCADE && h.difficulty >= 0 && h.difficulty <= 2)
        DrawSheetCell(replayFontTexture, {x + 264, top + 2, x + 324, top + 20},
                      title_sheets::ReplayDifficulty(h.difficulty), alpha);
    DrawSheetCell(replayFontTexture, {x + 160, top + 22, x + 190, top + 40}, title_sheets::kReplayDamageLabel, alpha);
    DrawNumber(h.bestComboDamage, 5, x + 192, top + 22, alpha);
    DrawSheetCell(replayFontTexture, {x + 256, top + 22, x + 286, top + 40}, title_sheets::kReplayHitsLabel, alpha);
    DrawNumber(h.bestComboHits, 3, x + 288, top + 22, alpha);
    DrawDate(h.dateDigits, x + 160, top + 42, alpha);
}

}  // namespace

void ScanReplays() {
    replayHeaders = {};
    replayFileNames = {};
    replayPaths = {};
    // Names found in the folder are opened as they are, inside it: a
    // backslash in one is part of the name, never a separator.
    const std::string folder = platform::ResolvePath("replay") + "/";
    for (const std::string& name : ListReplayNames()) {
        if (ReplayCount() >= REPLAY_LIST_MAX) break;
        const std::string path = folder + name;
        ReplayHeader header;
        if (!ReadListedHeader(path, header)) continue;
        replayHeaders.push_back(header);
        replayFileNames.push_back(name);
        replayPaths.push_back(path);
    }
}

int32_t HighlightedReplayIndex() { return replayPage * REPLAY_ROWS_PER_PAGE + titleCursor; }

void RenderReplayComment() {
    const int32_t index = HighlightedReplayIndex();
    if (!commentSheet || index < 0 || index >= ReplayCount()) return;
    Font* font = CreateFont(platform::GOTHIC_FACE, 16, 0, 0, nullptr);
    if (font->BeginDC()) {
        font->SetTarget(FONT_TARGET_TEXTURE, commentSheet);
        commentSheet->Fill(0);
        const std::string text = "FileName:" + replayFileNames[static_cast<size_t>(index)] + "\nComment :\n" +
                                 std::string(ReplayComment(replayHeaders[static_cast<size_t>(index)]));
        font->DrawTextSmooth(0, 0, 0xFFFFFFFF, "%s", text.c_str());
        font->EndDC();
        commentSheet->Update();
    }
    font->Release();
}

void UpdateReplayList() {
    if (ReplayCount() == 0) {  // nothing left to show
        titleState = TITLE_NO_REPLAYS;
        return;
    }
    for (auto [button, move] : {std::pair{BUTTON_UP, &MoveUp}, std::pair{BUTTON_DOWN, &MoveDown}}) {
        if (!Pressed(button)) continue;
        move();
        PlaySe(SE_CURSOR);
        RenderReplayComment();
    }
    for (auto [button, step] : {std::pair{BUTTON_RIGHT, 1}, std::pair{BUTTON_LEFT, -1}}) {
        if (!Pressed(button)) continue;
        TurnPage(step);
        PlaySe(SE_CURSOR);
        RenderReplayComment();
    }
    if (Pressed(BUTTON_X)) {
        titleState = TITLE_MAIN;
        titleCursor = MAIN_ITEM_REPLAYS;
        PlaySe(SE_CANCEL);
    } else if (Pressed(BUTTON_Z)) {
        titleAction = TITLE_ACTION_PLAY_REPLAY;
        StartTransition(TRANSITION_KIND_124);
        titleState = TITLE_LEAVING;
        PlaySe(SE_DECIDE);
    }
}

void UpdateNoReplays() {
    if (Pressed(BUTTON_Z) || Pressed(BUTTON_X)) {
        titleState = TITLE_MAIN;
        titleCursor = MAIN_ITEM_REPLAYS;
        PlaySe(SE_CANCEL);
    }
}

void ReopenReplayList() {
    replayListReturn = 0;
    StartTransition(TRANSITION_WIPE_14);
    if (ReplayCount() == 0) {
        titleState = TITLE_NO_REPLAYS;
        titleCursor = 0;
        replayPage = 0;
        return;
    }
    const int32_t index = std::clamp(playedReplayIndex, 0, ReplayCount() - 1);
    titleState = TITLE_REPLAY_LIST;
    replayPage = index / REPLAY_ROWS_PER_PAGE;
    titleCursor = index % REPLAY_ROWS_PER_PAGE;
    RenderReplayComment();
}

bool StartReplayPlayback() {
    playedReplayIndex = HighlightedReplayIndex();
    const bool listed = playedReplayIndex >= 0 && playedReplayIndex < ReplayCount();
    if (!listed || ReadReplayFileAt(replayPaths[static_cast<size_t>(playedReplayIndex)]) != 0) {
        // The title starts again on the list, rescanned.
        PlaySe(SE_ERROR);
        replayPlayback = 0;
        replayListReturn = 1;
        ChangeScene(SCENE_TITLE);
        return false;
    }
    replayPlayback = 1;
    replayListReturn = 1;
    ApplyPlaybackMatch();
    ChangeScene(SCENE_BATTLE);
    return true;
}

void DrawReplayList() {
    if (titleState == TITLE_NO_REPLAYS || (replayListAlpha > 0.0f && replayHeaders.empty())) {
        DrawSheetCell(menuFontTexture, {140, 220, 500, 260}, title_sheets::kNoReplaysNotice,
                      AlphaLevel(replayListAlpha));
        return;
    }
    if (titleState == TITLE_REPLAY_LIST && replayListAlpha > 0.0f) {
        for (int row = 0; row < REPLAY_ROWS_PER_PAGE; ++row) {
            const int32_t index = replayPage * REPLAY_ROWS_PER_PAGE + row;
            if (index < ReplayCount()) DrawReplayRow(index, 85 + 70 * row, row == titleCursor);
        }
    }
    if (commentSheetAlpha > 0.0f) {
        const int alpha = AlphaLevel(commentSheetAlpha);
        FillBar({364, 104, 632, 376}, static_cast<uint32_t>(alpha * 150 / 255) << 24);
        DrawSheetCell(commentSheet, {372, 112, 628, 368}, {0, 0, 256, 256}, alpha);
    }
}

void ResetReplayListState() {
    replayHeaders.clear();
    replayFileNames.clear();
    replayPaths.clear();
    replayListReturn = 0;
    playedReplayIndex = 0;
    commentSheet = nullptr;
}
