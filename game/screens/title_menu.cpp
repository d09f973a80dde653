#include "game/screens/title_menu.h"

#include <algorithm>
#include <cmath>

#include "engine/core/resource.h"
#include "engine/graphics/device.h"
#include "engine/graphics/font.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "game/battle/battle_scene.h"
#include "game/flow/input_words.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/replay_list.h"
#include "game/screens/title_sheets.h"
#include "game/screens/title_ui.h"
#include "platform/glyphs.h"

int32_t titleState = TITLE_INTRO;
int32_t replayPage = 0;
int32_t titleAction = TITLE_ACTION_NONE;
int32_t rankingTab = 0;

float replayListAlpha = 0.0f;
float commentSheetAlpha = 0.0f;
float rankingAlpha = 0.0f;
float rankingRowAlpha[10] = {};
float introTimer = 0.0f;

int32_t extraItem = 1;
int32_t animationNextScene = SCENE_TITLE;
int32_t rankingPlace = RANKING_NOT_ENTERED;

Texture* menuFontTexture = nullptr;
Texture* replayFontTexture = nullptr;
Texture* namePlateTexture = nullptr;

namespace {

uint8_t titleLeavePending = 0;

float mainMenuAlpha = 0.0f;
float versusMenuAlpha = 0.0f;
float menuFrameAlpha = 0.0f;
float nameEntryAlpha = 0.0f;
float extraMenuAlpha = 0.0f;
float difficultyMenuAlpha = 0.0f;

Font* smallTitleFont = nullptr;
Texture* titleLogoTexture = nullptr;
Texture* rankingFontTexture = nullptr;
Texture* menuBackgroundTexture = nullptr;
Surface* menuBackgroundSurface = nullptr;

void ClearMenuFades() {
    for (float* value : {&mainMenuAlpha, &versusMenuAlpha, &menuFrameAlpha, &replayListAlpha, &commentSheetAlpha,
                         &rankingAlpha, &nameEntryAlpha, &extraMenuAlpha, &difficultyMenuAlpha})
        *value = 0.0f;
}

}  // namespace

void ResetTitlePositions() {
    ResetTitleOpening();
    replayPage = 0;
    extraItem = 1;
    rankingPlace = RANKING_NOT_ENTERED;
    playedReplayIndex = 0;
}

void ResetRankingRows() {
    for (int k = 0; k < 10; ++k) rankingRowAlpha[k] = -0.2f * static_cast<float>(k);
}

namespace {

constexpr int kMainItems = 5;  // six with the extra item
constexpr int kVersusItems = 4;
constexpr int kDifficultyItems = 3;
// The extra menu's rows; row 6 (character 7) is never offered.
constexpr int kExtraRows = 8;
constexpr int kExtraHiddenRow = EXTRA_ITEM_HIDDEN - 1;
constexpr float kFadeStep = 0.05f;
constexpr float kTwoPi = 6.2831855f;

// The versus menu lists the modes in this order.
constexpr int32_t kVersusModes[kVersusItems] = {MODE_1P_VS_2P, MODE_1P_VS_CPU, MODE_VS_NETWORK, MODE_PRACTICE};

// Background and highlight phases (radians).
float backgroundPhase1 = 0.0f;
float backgroundPhase2 = 0.0f;
float highlightPhase = 0.0f;

bool CharacterCleared(int32_t id) {
    if (id < 1 || id >= 20) return false;
    for (const auto& row : systemData.cleared)
        if (row[id]) return true;
    return false;
}

int32_t VersusCursorOfMode(int32_t mode) {
    for (int k = 0; k < kVersusItems; ++k)
        if (kVersusModes[k] == mode) return k;
    return 0;
}

// The menu named by titleStartState, with its cursor and opening wipe.
void OpenStartMenu() {
    switch (titleStartState) {
    case MODE_PRACTICE:
    case MODE_1P_VS_2P:
    case MODE_1P_VS_CPU:
    case MODE_VS_NETWORK:
        titleState = TITLE_VERSUS;
        titleCursor = VersusCursorOfMode(titleStartState);
        break;
    case TITLE_START_MAIN:
        titleState = TITLE_MAIN;
        titleCursor = 0;
        break;
    case TITLE_START_RANKING:
        titleState = rankingPlace >= RANKING_ENTRIES ? TITLE_RANKING : TITLE_NAME_ENTRY;
        titleCursor = 0;
        rankingTab = std::clamp(difficulty, 0, RANKING_TABLES - 1);
        titleStartState = TITLE_START_MAIN;
        break;
    case TITLE_START_EXTRA:
        titleState = TITLE_EXTRA;
        titleCursor = extraItem >= 1 && extraItem <= kExtraRows && extraItem - 1 != kExtraHiddenRow ? extraItem - 1 : 0;
        break;
    default:
        titleState = TITLE_INTRO;
        titleCursor = 0;
        StartTransition(TRANSITION_FADE_IN);
        transitionSpeed = 0.0025f;
        introTimer = 2.0f;
        return;
    }
    StartTransition(TRANSITION_WIPE_14);
}

constexpr char kSystemArchive[] = "gf\\system.dat";

void CreateTitleResources() {
    menuFontTexture = CreateTextureFromArchive(kSystemArchive, "menu_font", 1, nullptr);
    replayFontTexture = CreateTextureFromArchive(kSystemArchive, "replay_font", 1, nullptr);
    titleLogoTexture = CreateTextureFromArchive(kSystemArchive, "title_logo", 1, nullptr);
    rankingFontTexture = CreateTextureFromArchive(kSystemArchive, "ranking_font", 1, nullptr);
    commentSheet = CreateTexture(256, 256, 1, nullptr);
    namePlateTexture = CreateTextureFromArchive(kSystemArchive, "name_plate", 1, nullptr);
    menuBackgroundSurface = CreateSurfaceFromArchive(kSystemArchive, "menu_bgpS", FORMAT_SCREEN, nullptr);
    menuBackgroundTexture = CreateTextureFromArchive(kSystemArchive, "menu_bgp", 1, nullptr);
    smallTitleFont = CreateFont(platform::GOTHIC_FACE, 14, 0, 0, nullptr);
}

void ReleaseTitleResources() {
    ReleaseResource(menuFontTexture);
    ReleaseResource(replayFontTexture);
    ReleaseResource(titleLogoTexture);
    ReleaseResource(rankingFontTexture);
    ReleaseResource(commentSheet);
    ReleaseResource(namePlateTexture);
    ReleaseResource(menuBackgroundSurface);
    ReleaseResource(menuBackgroundTexture);
    ReleaseResource(smallTitleFont);
}

// ---- Update ------------------------------------------------------------------

// The cursor one step along a ring of `count` items.
int32_t Wrap(int32_t value, int32_t count) { return ((value % count) + count) % count; }

// Up and down over a ring of items, with the cursor sound.
void MoveCursor(int32_t count) {
    if (Pressed(BUTTON_UP)) {
        titleCursor = Wrap(titleCursor - 1, count);
        PlaySe(SE_CURSOR);
    }
    if (Pressed(BUTTON_DOWN)) {
        titleCursor = Wrap(titleCursor + 1, count);
        PlaySe(SE_CURSOR);
    }
}

void BackToMain(int32_t cursor) {
    titleState = TITLE_MAIN;
    titleCursor = cursor;
    PlaySe(SE_CANCEL);
}

void Leave(int32_t action) {
    titleAction = action;
    StartTransition(TRANSITION_KIND_124);
    titleState = TITLE_LEAVING;
}

void UpdateIntro() {
    if (Pressed(BUTTON_Z) || Pressed(BUTTON_X)) {
        introTimer = 0.0f;
        titleState = TITLE_MAIN;
        transitionRunning = 0;
    } else if (!transitionRunning) {
        titleState = TITLE_MAIN;
    }
}

void DecideMainItem() {
    PlaySe(SE_DECIDE);
    switch (titleCursor) {
    case MAIN_ITEM_ARCADE:
        titleCursor = std::clamp(difficulty, 0, kDifficultyItems - 1);
        titleState = TITLE_ARCADE_DIFFICULTY;
        break;
    case MAIN_ITEM_VERSUS:
        titleCursor = 0;
        titleState = TITLE_VERSUS;
        break;
    case MAIN_ITEM_REPLAYS:
        titleAction = TITLE_ACTION_REPLAYS;
        if (replayHeaders.empty()) {
            titleState = TITLE_NO_REPLAYS;
        } else {
            titleCursor = 0;
            replayPage = 0;
            titleState = TITLE_REPLAY_LIST;
            RenderReplayComment();
        }
        break;
    case MAIN_ITEM_RANKING:
        titleAction = TITLE_ACTION_RANKING;
        rankingTab = 0;
        ResetRankingRows();
        rankingPlace = RANKING_NOT_ENTERED;
        titleState = TITLE_RANKING;
        break;
    case MAIN_ITEM_QUIT: Leave(TITLE_ACTION_QUIT); break;
    case MAIN_ITEM_EXTRA:
        titleCursor = 0;
        titleState = TITLE_EXTRA;
        break;
    default: break;
    }
}

void UpdateMain() {
    MoveCursor(systemData.extraUnlocked ? kMainItems + 1 : kMainItems);
    if (Pressed(BUTTON_Z)) DecideMainItem();
}

// A match chosen: its select screen after the closing wipe; a playback's
// way back to the replay list is forgotten.
void StartMatch(int32_t mode, int32_t matchDifficulty, int32_t nextStartState) {
    Leave(TITLE_ACTION_SELECT);
    gameMode = mode;
    difficulty = matchDifficulty;
    titleStartState = nextStartState;
    replayListReturn = 0;
    PlaySe(SE_DECIDE);
}

void UpdateVersus() {
    MoveCursor(kVersusItems);
    if (Pressed(BUTTON_Z)) {
        const int32_t mode = kVersusModes[Wrap(titleCursor, kVersusItems)];
        StartMatch(mode, DIFFICULTY_NORMAL, mode);
    } else if (Pressed(BUTTON_X)) {
        BackToMain(MAIN_ITEM_VERSUS);
    }
}

void UpdateArcadeDifficulty() {
    MoveCursor(kDifficultyItems);
    if (Pressed(BUTTON_Z)) {
        StartMatch(MODE_ARCADE, titleCursor, TITLE_START_MAIN);
    } else if (Pressed(BUTTON_X)) {
        BackToMain(MAIN_ITEM_ARCADE);
    }
}

void UpdateRanking() {
    if (Pressed(BUTTON_X)) {
        BackToMain(MAIN_ITEM_RANKING);
        return;
    }
    for (auto [button, step] : {std::pair{BUTTON_LEFT, -1}, std::pair{BUTTON_RIGHT, 1}}) {
        if (!Pressed(button)) continue;
        rankingTab = Wrap(rankingTab + step, RANKING_TABLES);
        ResetRankingRows();
        PlaySe(SE_CURSOR);
    }
}

// The entry whose name is typed: the place just reached in the table of the
// run's difficulty.
RankingEntry* NameEntryTarget() {
    if (rankingPlace < 0 || rankingPlace >= RANKING_ENTRIES) return nullptr;
    if (difficulty < 0 || difficulty >= RANKING_TABLES) return nullptr;
    return &rankingTables[difficulty].entries[rankingPlace];
}

void UpdateNameEntry() {
    RankingEntry* entry = NameEntryTarget();
    if (!entry) {  // nothing to name: show the table
        titleState = TITLE_RANKING;
        return;
    }
    if (Pressed(BUTTON_Z)) {
        PlaySe(SE_DECIDE);
        if (++titleCursor >= RANKING_LETTERS) {
            ResetRankingRows();
            titleState = TITLE_RANKING;
            SaveRanking();
            return;
        }
    }
    if (Pressed(BUTTON_X) && titleCursor > 0) {
        entry->letters[titleCursor] = 0;
        --titleCursor;
        PlaySe(SE_CANCEL);
    }
    int32_t& letter = entry->letters[titleCursor];
    if (Pressed(BUTTON_UP)) {
        letter = Wrap(letter - 1, RANKING_ALPHABET);
        PlaySe(SE_CURSOR);
    }
    if (Pressed(BUTTON_DOWN)) {
        letter = Wrap(letter + 1, RANKING_ALPHABET);
        PlaySe(SE_CURSOR);
    }
}

// One step of the extra menu's cursor, over the rows that are offered.
int32_t StepExtraRow(int32_t row, int32_t step) {
    row = Wrap(row + step, kExtraRows);
    return row == kExtraHiddenRow ? Wrap(row + step, kExtraRows) : row;
}

void UpdateExtra() {
    for (auto [button, step] : {std::pair{BUTTON_UP, -1}, std::pair{BUTTON_DOWN, 1}}) {
        if (!Pressed(button)) continue;
        titleCursor = StepExtraRow(titleCursor, step);
        PlaySe(SE_CURSOR);
    }
    if (Pressed(BUTTON_Z)) {
        extraItem = titleCursor + 1;
        if (CharacterCleared(extraItem)) {
            Leave(TITLE_ACTION_EXTRA);
            gameMode = MODE_EXTRA;
            titleStartState = TITLE_START_EXTRA;
            PlaySe(SE_DECIDE);
        } else {
            PlaySe(SE_ERROR);
        }
    } else if (Pressed(BUTTON_X)) {
        BackToMain(MAIN_ITEM_EXTRA);
    }
}

void Fade(float& alpha, bool open) { alpha = std::clamp(alpha + (open ? kFadeStep : -kFadeStep), 0.0f, 1.0f); }

void UpdateFades() {
    const int32_t s = titleState;
    Fade(mainMenuAlpha, s == TITLE_MAIN);
    Fade(versusMenuAlpha, s == TITLE_VERSUS);
    Fade(menuFrameAlpha, s == TITLE_MAIN || s == TITLE_VERSUS);
    Fade(replayListAlpha, s == TITLE_REPLAY_LIST || s == TITLE_NO_REPLAYS);
    Fade(commentSheetAlpha, s == TITLE_REPLAY_LIST);
    Fade(rankingAlpha, s == TITLE_RANKING);
    Fade(nameEntryAlpha, s == TITLE_NAME_ENTRY);
    Fade(extraMenuAlpha, s == TITLE_EXTRA);
    Fade(difficultyMenuAlpha, s == TITLE_ARCADE_DIFFICULTY);
    for (float& row : rankingRowAlpha)
        row = s == TITLE_RANKING ? std::min(row + kFadeStep, 1.0f) : std::max(row - kFadeStep, 0.0f);
    if (introTimer > 1.0f) {
        introTimer -= 0.025f;
    } else if (introTimer > 0.0f) {
        introTimer -= 0.0025f;
    }
}

// ---- Drawing ---------------------------------------------------------------

using title_sheets::Cell;

void AdvancePhase(float& phase, float step) {
    phase += step;
    if (phase >= kTwoPi) phase -= kTwoPi;
}

void DrawBackground() {
    AdvancePhase(backgroundPhase1, 0.02f);
    AdvancePhase(backgroundPhase2, 0.03f);
    ClearTarget(0xFFAAAACC);
    ClearDepth(1.0f);
    if (menuBackgroundSurface) menuBackgroundSurface->CopyToRenderTarget(0, 0, 0, 0, 640, 480);
    const float pulse = 40.0f + 20.0f * std::sin(backgroundPhase1) + 20.0f * std::sin(backgroundPhase2);
    DrawSheetCell(menuBackgroundTexture, {0, 0, 640, 480}, {0, 0, 512, 512}, AlphaLevel(pulse / 255.0f));
}

void DrawLetterbox() {
    int height = 240;  // black while the timer is above 1
    if (introTimer <= 1.0f) height = std::max(60, static_cast<int>(240.0f - (1.0f - introTimer) * 360.0f));
    FillBar({0, 0, 640, height}, 0xFF000000);
    FillBar({0, 480 - height, 640, 480}, 0xFF000000);
}

void DrawVersionText() {
    if (!smallTitleFont || !smallTitleFont->BeginDC()) return;
    const uint32_t grey = static_cast<uint32_t>(AlphaLevel(menuFrameAlpha));
    smallTitleFont->DrawText(30, 440, 0xFF000000 | grey << 16 | grey << 8 | grey, "Ver1.0");
    smallTitleFont->EndDC();
}

// One column of menu items sliding in from the right as `alpha` rises; the
// highlighted item is opaque with a glow while `active`.
void DrawMenuColumn(Cell (*item)(int), int count, float alpha, bool active) {
    if (alpha <= 0.0f) return;
    const int right = 600 - static_cast<int>(alpha * 50.0f);
    for (int k = 0; k < count; ++k) {
        const int top = 160 + 40 * k;
        const Cell dest{right - title_sheets::kItemWidth, top, right, top + title_sheets::kItemHeight};
        const bool lit = active && k == titleCursor;
        if (lit) {
            const int w = title_sheets::kItemWidth / 4, h = title_sheets::kItemHeight / 4;
            DrawSheetCell(menuFontTexture, {dest.left + w, dest.top + h, dest.right - w, dest.bottom - h},
                          title_sheets::kItemGlow, 255);
        }
        DrawSheetCell(menuFontTexture, dest, item(k), lit ? 255 : AlphaLevel(alpha * 100.0f / 255.0f));
    }
}

void DrawMenus() {
    if (menuFrameAlpha > 0.0f)
        FillBar({360, 140, 620, 400}, static_cast<uint32_t>(AlphaLevel(menuFrameAlpha * 0.4f)) << 24);
    DrawMenuColumn(title_sheets::MainItem, systemData.extraUnlocked ? kMainItems + 1 : kMainItems, mainMenuAlpha,
                   titleState == TITLE_MAIN);
    DrawMenuColumn(title_sheets::VersusItem, kVersusItems, versusMenuAlpha, titleState == TITLE_VERSUS);
    DrawMenuColumn(title_sheets::DifficultyItem, kDifficultyItems, difficultyMenuAlpha,
                   titleState == TITLE_ARCADE_DIFFICULTY);
}

// A number right-aligned so that its last digit ends at `right`.
void DrawRankingNumber(int32_t value, int right, int top, int alpha) {
    value = std::max(value, 0);
    const int digits = CountDigits(value);
    for (int k = 1; k <= digits; ++k) {
        const int left = right - 18 * k;
        DrawSheetCell(rankingFontTexture, {left, top, left + 18, top + 24},
                      title_sheets::RankingDigit(GetDigit(value, k)), alpha);
    }
}

void DrawSymbols(const int32_t (&letters)[RANKING_LETTERS], int left, int top, int size, int alpha) {
    for (int i = 0; i < RANKING_LETTERS; ++i) {
        const int x = left + size * i;
        DrawSheetCell(rankingFontTexture, {x, top, x + size, top + size},
                      title_sheets::RankingSymbol(Wrap(letters[i], RANKING_ALPHABET)), alpha);
    }
}

void DrawRanking() {
    AdvancePhase(highlightPhase, 0.1f);
    if (rankingAlpha <= 0.0f) return;
    const int frame = AlphaLevel(rankingAlpha);
    FillBar({60, 60, 580, 420}, static_cast<uint32_t>(frame * 160 / 255) << 24);
    DrawSheetCell(rankingFontTexture, {80, 68, 208, 100}, title_sheets::kRankingHeading, frame);
    const int tab = Wrap(rankingTab, RANKING_TABLES);
    DrawSheetCell(rankingFontTexture, {432, 68, 560, 100}, title_sheets::RankingTab(tab), frame);
    for (int k = 0; k < RANKING_ENTRIES; ++k) {
        const RankingEntry& entry = rankingTables[tab].entries[k];
        const int top = 110 + 30 * k;
        if (titleState == TITLE_RANKING && tab == difficulty && k == rankingPlace) {
            const float pulse = 120.0f + 80.0f * std::sin(highlightPhase);
            FillBar({70, top - 3, 570, top + 27}, static_cast<uint32_t>(pulse) << 24 | 0x96DCFF);
        }
        if (rankingRowAlpha[k] <= 0.0f) continue;
        const int alpha = AlphaLevel(rankingRowAlpha[k] * rankingAlpha);
        DrawSheetCell(rankingFontTexture, {80, top, 128, top + 24}, title_sheets::RankingPlace(k), alpha);
        DrawSheetCell(rankingFontTexture, {140, top, 164, top + 24},
                      title_sheets::RankingFace(std::clamp(entry.characterId, 0, 8)), alpha);
        DrawRankingNumber(entry.score, 380, top, alpha);
        DrawSymbols(entry.letters, 410, top, 24, alpha);
    }
}

void DrawNameEntry() {
    if (nameEntryAlpha <= 0.0f) return;
    const RankingEntry* entry = NameEntryTarget();
    if (!entry) return;
    const int alpha = AlphaLevel(nameEntryAlpha);
    FillBar({160, 190, 480, 300}, static_cast<uint32_t>(alpha * 160 / 255) << 24);
    DrawSheetCell(rankingFontTexture, {192, 200, 448, 232}, title_sheets::kNameEntryHeading, alpha);
    const int left = 240;
    if (titleCursor >= 0 && titleCursor < RANKING_LETTERS) {
        const int x = left + 32 * titleCursor;
        FillBar({x, 246, x + 32, 282}, static_cast<uint32_t>(alpha / 2) << 24 | 0x96DCFF);
    }
    DrawSymbols(entry->letters, left, 248, 32, alpha);
}

void DrawExtraMenu() {
    if (extraMenuAlpha <= 0.0f) return;
    const int left = 550 - static_cast<int>(extraMenuAlpha * 50.0f);
    for (int k = 0; k < kExtraRows; ++k) {
        if (k == kExtraHiddenRow) continue;
        const int top = 100 + 40 * k;
        const int plate = CharacterCleared(k + 1) ? k + 1 : title_sheets::kLockedPlate;
        const bool lit = titleState == TITLE_EXTRA && k == titleCursor;
        DrawSheetCell(namePlateTexture, {left, top, left + 64, top + 20}, title_sheets::NamePlate(plate),
                      lit ? 255 : AlphaLevel(extraMenuAlpha * 100.0f / 255.0f));
    }
}

// The logo is drawn over everything in every state: large beside the menus,
// and moved into the top letterbox bar while the replay list, the ranking or
// the name entry is open, so it never hides them.
void DrawLogo() {
    const float aside = std::clamp(std::max({rankingAlpha, nameEntryAlpha, replayListAlpha}), 0.0f, 1.0f);
    const auto toward = [aside](int large, int small) {
        return large + static_cast<int>(static_cast<float>(small - large) * aside);
    };
    const Cell large{20, 70, 340, 230}, small{20, 2, 132, 58};
    DrawSheetCell(titleLogoTexture,
                  {toward(large.left, small.left), toward(large.top, small.top), toward(large.right, small.right),
                   toward(large.bottom, small.bottom)},
                  {0, 0, 512, 256}, 255);
}

}  // namespace

void InitTitle() {
    titleAction = TITLE_ACTION_NONE;
    introTimer = 0.0f;
    rankingTab = 0;
    if (!replayListReturn) OpenStartMenu();
    titleLeavePending = 0;
    ClearMenuFades();
    winCounts[0] = winCounts[1] = 0;
    ResetRankingRows();
    CreateTitleResources();
    inputWords[0] = inputWords[1] = 0;
    ScanReplays();
    if (replayListReturn) ReopenReplayList();
    LoadRanking();
    SaveSystemData();
    PlayBgm(0);
    sceneInitPending = 0;
}

void UpdateTitle() {
    switch (titleState) {
    case TITLE_INTRO: UpdateIntro(); break;
    case TITLE_MAIN: UpdateMain(); break;
    case TITLE_VERSUS: UpdateVersus(); break;
    case TITLE_ARCADE_DIFFICULTY: UpdateArcadeDifficulty(); break;
    case TITLE_REPLAY_LIST: UpdateReplayList(); break;
    case TITLE_NO_REPLAYS: UpdateNoReplays(); break;
    case TITLE_RANKING: UpdateRanking(); break;
    case TITLE_NAME_ENTRY: UpdateNameEntry(); break;
    case TITLE_EXTRA: UpdateExtra(); break;
    case TITLE_LEAVING:
        if (!transitionRunning) titleLeavePending = 1;
        break;
    default: break;
    }
    UpdateFades();
}

void DrawTitle() {
    SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
    SetRenderState(gpu::D3DRS_FOGENABLE, 0);
    if (BeginScene()) {
        DrawBackground();
        DrawLetterbox();
        DrawVersionText();
        DrawMenus();
        DrawReplayList();
        DrawRanking();
        DrawNameEntry();
        DrawExtraMenu();
        DrawLogo();
        DrawTransition();
        EndScene();
    }
    PresentFrame();
}

void LeaveTitle() {
    ReleaseTitleResources();
    switch (titleAction) {
    case TITLE_ACTION_SELECT: ChangeScene(SCENE_SELECT); break;
    case TITLE_ACTION_PLAY_REPLAY: StartReplayPlayback(); break;
    case TITLE_ACTION_EXTRA:
        titleStartState = TITLE_START_EXTRA;
        ChangeScene(extraItem == EXTRA_ITEM_ANIMATION ? SCENE_ANIMATION : SCENE_STORY);
        if (extraItem == EXTRA_ITEM_ANIMATION) animationNextScene = SCENE_TITLE;
        break;
    case TITLE_ACTION_QUIT: QuitGame(); [[fallthrough]];
    // Should frames go on, the title starts again with its init.
    default: ChangeScene(sceneNumber); break;
    }
}

void RunTitleScene() {
    if (sceneInitPending) InitTitle();
    ClearSePlayedFlags();
    UpdateBgm();
    DrawTitle();
    PollInput();
    UpdateTitle();
    if (titleLeavePending) LeaveTitle();
}

void ResetTitleMenuState() {
    ResetTitlePositions();
    titleState = TITLE_INTRO;
    titleAction = TITLE_ACTION_NONE;
    rankingTab = 0;
    titleLeavePending = 0;
    ClearMenuFades();
    introTimer = 0.0f;
    backgroundPhase1 = backgroundPhase2 = highlightPhase = 0.0f;
    std::fill(std::begin(rankingRowAlpha), std::end(rankingRowAlpha), 0.0f);
    animationNextScene = SCENE_TITLE;
    smallTitleFont = nullptr;
    menuFontTexture = nullptr;
    replayFontTexture = nullptr;
    titleLogoTexture = nullptr;
    rankingFontTexture = nullptr;
    namePlateTexture = nullptr;
    menuBackgroundTexture = nullptr;
    menuBackgroundSurface = nullptr;
}
