#pragma once
// The two sides of a battle: one PlayerRecord each, and the per-character
// constants. Positions are world units (x right, y up), angles radians.
#include <cstdint>
#include <vector>

#include "game/arena/object_lists.h"
#include "game/arena/roster.h"
#include "game/flow/input_words.h"

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

// Entry c for CharacterId c (1..8), from the roster; entry 0 stays zero.
extern CharacterParams characterParams[CHARACTER_COUNT + 1];

// The characters' code that a side's frame calls. The characters are built
// above the record, so their layer fills this, with characterParams, in
// InitCharacterParams (game/characters/character_routines.h); until then a
// side has no character's update and no computer player.
struct CharacterCalls {
    void (*update)(int32_t side);                     // the side's character's own update
    void (*cpuInput)(InputWord* word, int32_t side);  // the computer player's word for the side
};
extern CharacterCalls characterCalls;

// Empties both records, the character constants and calls, as at program start.
void ResetPlayerRecordState();

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

// Sets the coming battle to the replay's match (GetPlaybackMatch): both sides'
// characters and colours, stageNumber, gameMode and difficulty.
void ApplyPlaybackMatch();
