#pragma once
// The title menu, hub of the game: the arcade with its difficulty, the four
// versus modes, the replay list, the ranking with its name entry, the extra
// menu of story pages and the animation, and quit. One scene with one
// per-frame function over global state.
#include <cstdint>

#include "game/flow/run_state.h"

class Font;
class Surface;
class Texture;

enum TitleState : int32_t {
    TITLE_INTRO = 5,
    TITLE_MAIN = 10,
    TITLE_VERSUS = 20,
    TITLE_REPLAY_LIST = 30,
    TITLE_NO_REPLAYS = 35,
    TITLE_RANKING = 40,
    TITLE_NAME_ENTRY = 50,
    TITLE_EXTRA = 60,
    TITLE_ARCADE_DIFFICULTY = 70,
    TITLE_LEAVING = 90,
};

// What the scene does when it is left; 2 and 3 only record the last main-menu
// choice.
enum TitleAction : int32_t {
    TITLE_ACTION_NONE = 0,
    TITLE_ACTION_SELECT = 1,
    TITLE_ACTION_REPLAYS = 2,
    TITLE_ACTION_RANKING = 3,
    TITLE_ACTION_PLAY_REPLAY = 4,
    TITLE_ACTION_EXTRA = 10,
    TITLE_ACTION_QUIT = 99,
};

// Main-menu items; the last is listed only once the extra is unlocked.
enum TitleMainItem : int32_t {
    MAIN_ITEM_ARCADE,
    MAIN_ITEM_VERSUS,
    MAIN_ITEM_REPLAYS,
    MAIN_ITEM_RANKING,
    MAIN_ITEM_QUIT,
    MAIN_ITEM_EXTRA,
};

// The extra menu's gameMode: a story page or the animation, no match.
constexpr int32_t MODE_EXTRA = 6;
// extraItem for the animation.
constexpr int32_t EXTRA_ITEM_ANIMATION = 8;
// The extra entry that the menu skips and never draws: character 7's story
// is never shown.
constexpr int32_t EXTRA_ITEM_HIDDEN = 7;

extern int32_t titleState;
extern int32_t replayPage;
extern int32_t titleAction;
extern int32_t rankingTab;  // Difficulty of the ranking table shown

// Fades, 0..1, each moved by 0.05 a frame toward 1 while its menu is open.
extern float replayListAlpha;
extern float commentSheetAlpha;
extern float rankingAlpha;
extern float rankingRowAlpha[10];
// 2.0 at a cold start, falling to 0: the letterbox of the intro.
extern float introTimer;

// The chosen extra entry (character id 1..8, 8 the animation) for the story
// viewer, and where the animation viewer goes when it ends.
extern int32_t extraItem;
extern int32_t animationNextScene;
// The ranking place of the last arcade score, 10 and above for none.
extern int32_t rankingPlace;

// Pictures held while the scene runs.
extern Texture* menuFontTexture;
extern Texture* replayFontTexture;
extern Texture* namePlateTexture;

void RunTitleScene();
void InitTitle();
void DrawTitle();
void UpdateTitle();
void LeaveTitle();

// Shows the ranking anew: every row fades in again, row k 4k frames after
// the first.
void ResetRankingRows();

// The menu positions as they are at program start.
void ResetTitlePositions();
// Puts the whole scene's state back as it is at program start, the
// positions above included; its pictures and font are forgotten, not
// released (the device lists free them).
void ResetTitleMenuState();
