#include "game/characters/placeholder_fighter.h"

#include <cmath>

#include "game/battle/numeric_helpers.h"
#include "game/battle/player_drawing.h"
#include "game/battle/player_record.h"
#include "game/flow/input_words.h"

namespace {

bool Down(const ButtonStates buttons, ButtonSlot slot) { return buttons[slot] > BUTTON_STATE_RELEASED; }
bool Pressed(const ButtonStates buttons, ButtonSlot slot) { return buttons[slot] == BUTTON_STATE_PRESSED; }

void Move(PlayerRecord& p) {
    p.x = static_cast<float>(p.x + std::cos(p.moveAngle) * p.speed);
    p.y = static_cast<float>(p.y + std::sin(p.moveAngle) * p.speed);
}

void EnterState(PlayerRecord& p, int32_t state) {
    p.state = state;
    p.stateTimer = 0;
    p.moveFinished = 0;
}

void EndMove(PlayerRecord& p) {
    p.state = PLAYER_FREE;
    p.stateTimer = 0;
    p.moveFinished = 1;
}

void FreeOrDash(int32_t side, PlayerRecord& p) {
    const ButtonStates& buttons = buttonStates[side];
    const CharacterParams& params = characterParams[p.characterId];
    if (Pressed(buttons, BUTTON_V)) {
        const float facing = p.x < players[1 - side].x ? 0.0f : PI_F;
        const float input = GetInputAngle(buttons);
        p.boostGauge += 0.3;
        p.counter = 0;
        p.aimAngle = input > TWO_PI_F ? facing : input;
        p.speed = params.dashSpeed;
        p.moveAngle = p.aimAngle;
        if (p.state != PLAYER_DASH) EnterState(p, PLAYER_DASH);
    } else if (Down(buttons, BUTTON_V) && p.state == PLAYER_DASH) {
        if (p.speed < params.boostSpeed) {
            p.speed = params.boostSpeed;
            p.boostGauge += 0.014;
        }
    } else {
        if (Down(buttons, BUTTON_UP)) p.y += params.moveSpeed;
        if (Down(buttons, BUTTON_DOWN)) p.y -= params.moveSpeed;
        if (Down(buttons, BUTTON_LEFT)) p.x -= params.moveSpeed;
        if (Down(buttons, BUTTON_RIGHT)) p.x += params.moveSpeed;
    }
    Move(p);
    if (p.speed > 0.0) {
        p.speed -= 0.8;
    } else {
        p.speed = 0.0;
        if (p.state == PLAYER_DASH) EndMove(p);
    }
}

void KnockedBack(PlayerRecord& p) {
    Move(p);
    p.speed = p.speed > 0.0 ? p.speed - 0.8 : 0.0;
    if (++p.stateTimer > 20) EndMove(p);
}

}  // namespace

void UpdatePlaceholderFighter(int32_t side) {
    PlayerRecord& p = players[side];
    switch (p.state) {
    case PLAYER_KNOCKED_OUT:
        ++p.stateTimer;
        return;
    case PLAYER_KNOCKED_BACK:
        KnockedBack(p);
        return;
    case PLAYER_FREE:
    case PLAYER_DASH:
        FreeOrDash(side, p);
        return;
    default:
        // States of moves the stand-in does not have end at once.
        EndMove(p);
        return;
    }
}

std::vector<CharacterModelDraw> PlaceholderModelDraws(int32_t side) {
    const PlayerRecord& p = players[side];
    if (p.state == PLAYER_KNOCKED_OUT && p.stateTimer >= 180) return {};
    const bool facingLeft = !(p.x < players[1 - side].x);
    return {{CharacterModelKind::Frame, p.counter / 8 % 4, 1, p.x, p.y, {false, 0, facingLeft}}};
}

void DrawPlaceholderFighter(int32_t side) { DrawCharacterModels(side, PlaceholderModelDraws(side)); }
