#pragma once
// Where the title menu and the replay list cut their pictures from the item
// sheets of "gf\\system.dat". The data generator paints its placeholder
// sheets from the same numbers, so art and screen agree.

namespace title_sheets {

struct Cell {
    int left, top, right, bottom;
};

// "menu_font" (512 x 512): menu items are 180 x 30 rows.
constexpr int kItemWidth = 180;
constexpr int kItemHeight = 30;
// Main menu items 0..5 (arcade, versus, replays, ranking, quit, extra) down
// the left column; versus items 0..3 and difficulties 0..2 down the right.
constexpr Cell MainItem(int k) { return {0, kItemHeight * k, kItemWidth, kItemHeight * (k + 1)}; }
constexpr Cell VersusItem(int k) { return {256, kItemHeight * k, 256 + kItemWidth, kItemHeight * (k + 1)}; }
constexpr Cell DifficultyItem(int k) {
    return {256, 150 + kItemHeight * k, 256 + kItemWidth, 150 + kItemHeight * (k + 1)};
}
constexpr Cell kItemGlow{0, 240, kItemWidth, 240 + kItemHeight};
constexpr Cell kNoReplaysNotice{0, 300, 360, 340};

// "replay_font" (512 x 512).
constexpr Cell ReplayDigit(int d) { return {16 * d, 0, 16 * d + 16, 24}; }
constexpr Cell kReplaySlash{160, 0, 176, 24};
constexpr Cell kReplayColon{176, 0, 192, 24};
// Character ids 1..8 as 48 x 48 faces.
constexpr Cell ReplayFace(int id) { return {48 * (id - 1), 32, 48 * id, 80}; }
constexpr Cell kReplayWinner{0, 88, 48, 112};
constexpr Cell kReplayVersus{48, 88, 96, 112};
// GameMode 0..4 and Difficulty 0..2 as labels.
constexpr Cell ReplayMode(int mode) { return {0, 128 + 24 * mode, 128, 152 + 24 * mode}; }
constexpr Cell ReplayDifficulty(int d) { return {128, 128 + 24 * d, 224, 152 + 24 * d}; }
constexpr Cell kReplayDamageLabel{224, 128, 272, 152};
constexpr Cell kReplayHitsLabel{224, 152, 272, 176};

// "ranking_font" (512 x 512).
// Places 1..10 (index 0..9).
constexpr Cell RankingPlace(int place) { return {0, 32 * place, 64, 32 * place + 32}; }
// Character pictures, three a row by characterId / 3 and characterId mod 3.
constexpr Cell RankingFace(int id) {
    return {64 + 64 * (id % 3), 64 * (id / 3), 128 + 64 * (id % 3), 64 + 64 * (id / 3)};
}
constexpr Cell RankingDigit(int d) { return {256 + 24 * d, 0, 280 + 24 * d, 32}; }
// Tabs EASY, NORMAL, HARD.
constexpr Cell RankingTab(int d) { return {256, 32 + 32 * d, 384, 64 + 32 * d}; }
constexpr Cell kRankingHeading{384, 32, 512, 64};
constexpr Cell kNameEntryHeading{256, 128, 512, 160};
// The 42 name symbols, sixteen a row from y 320.
constexpr int kSymbolsPerRow = 16;
constexpr Cell RankingSymbol(int s) {
    return {32 * (s % kSymbolsPerRow), 320 + 32 * (s / kSymbolsPerRow), 32 * (s % kSymbolsPerRow) + 32,
            352 + 32 * (s / kSymbolsPerRow)};
}
// What the symbols show, in index order.
constexpr int kSymbolCount = 42;
constexpr char kSymbolText[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .!?-&";
static_assert(sizeof kSymbolText == kSymbolCount + 1);

// "name_plate" (256 x 256): 128 x 40 plates, two a row; 11 is the locked one.
constexpr Cell NamePlate(int id) { return {128 * (id % 2), 40 * (id / 2), 128 * (id % 2) + 128, 40 * (id / 2) + 40}; }
constexpr int kLockedPlate = 11;

}  // namespace title_sheets
