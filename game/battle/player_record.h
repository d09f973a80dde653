#pragma once
// The two sides of a battle: one PlayerRecord each, and the per-character
// constants. Positions are world units (x right, y up), angles radians.
#include <cstdint>
#include <vector>

#include "game/flow/input_words.h"
#include "game/shots/object_lists.h"

enum PlayerState : int32_t {
    PLAYER_FREE,
    PLAYER_KNOCKED_BACK,
    PLAYER_KNOCKED_OUT,
    PLAYER_DASH,
    PLAYER_BURST,
    PLAYER_BLOWN_AWAY,
    PLAYER_SHIELD,
    // 7 and above: the characters' own moves.
};

constexpr float ARENA_RADIUS = 375.0f;
constexpr int32_t START_LIFE = 6000;

struct PlayerRecord {
    int32_t characterId;  // 1..8
    int32_t colour;       // 0 or 1
    int32_t counter;      // frame clock of the side, 1..10000; a dash sets 0
    uint8_t active;
    int32_t modeFlag;  // the character's own stance, variant or power-up word
    float x, y;
    float previousX, previousY;
    int32_t life;
    int32_t shownLife;
    int32_t maxLife;
    int32_t state;  // PlayerState, or a move of the character
    int32_t stateTimer;
    int32_t invulnerableTimer;  // moves one step toward 0 per frame
    float hitShape[3];          // along aimAngle, across, radius
    float aimAngle;
    float spare;
    float boostGauge;  // 0..3.0
    float hyperGauge;  // 0..3.0
    uint8_t moveFinished;
    double moveAngle;
    double speed;
    uint8_t autoAim;
    int32_t comboDamage;
    int32_t bestComboDamage;
    int32_t comboHits;
    int32_t bestComboHits;
    int32_t comboTimer;  // a combo runs while >= 0
    std::vector<PlayerObject> objects;
    InputWord netInput;  // network play: the local side's last sample
    InputWord padInput;  // the live pad word of the frame
    ButtonStates buttons;
    ButtonStates menuButtons;
    int32_t hitFlashCounter;
    uint16_t ringPhase;
};

extern PlayerRecord players[2];

struct CharacterParams {
    float moveSpeed;
    float dashSpeed;
    float boostSpeed;
    int32_t particleColours[2][2];  // [colour][first, second]
};

// Entry c for CharacterId c (1..8); entry 0 stays zero.
extern CharacterParams characterParams[9];

void InitCharacterParams();

// The battle-start values of one side: characterId, colour, netInput and
// menuButtons are kept; the side's input word and button states are cleared;
// character 4 gets its seven satellites.
void ResetPlayerForBattle(int side);

// The side's InputWord of the frame from its source (pad, computer player, or
// the network sample of the local side).
void ReadPlayerInput(int side);

// The common per-frame update of one side, the character's own update, then
// the arena wall and the boost-gauge cap.
void UpdatePlayer(int side);

// Puts a point outside the arena back on its rim, in the same direction.
void ClampToArena(float* x, float* y);
