#include "game/arena/player_record.h"

#include <cmath>

#include "engine/devices/network.h"
#include "game/arena/battle_state.h"
#include "game/flow/net_exchange.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"

PlayerRecord players[2];
CharacterParams characterParams[CHARACTER_COUNT + 1];
CharacterCalls characterCalls;

void ResetPlayerForBattle(int side) {
    PlayerRecord& p = players[side];
    PlayerRecord fresh{};
    fresh.characterId = p.characterId;
    fresh.colour = p.colour;
    fresh.netInput = p.netInput;
    for (int slot = 0; slot < BUTTON_SLOT_COUNT; ++slot) fresh.menuButtons[slot] = p.menuButtons[slot];
    fresh.active = 1;
    fresh.x = fresh.previousX = side == 0 ? -100.0f : 100.0f;
    fresh.y = fresh.previousY = 0.0f;
    fresh.life = fresh.shownLife = fresh.maxLife = START_LIFE;
    fresh.hitShape[2] = 8.0f;
    fresh.moveFinished = 1;
    fresh.autoAim = 1;
    fresh.comboDamage = -1;
    fresh.comboHits = -1;
    // Assigning the fresh record also gives back the old objects' storage.
    p = std::move(fresh);

    if (p.characterId == 4) {
        for (int32_t i = 0; i < 7; ++i) {
            PlayerObject satellite{};
            satellite.tag = 100;
            satellite.type = 300;
            satellite.timer = i * 20;
            satellite.position[0] = p.x;
            satellite.position[1] = p.y;
            satellite.speed = 5.0f;
            satellite.slowdown = 0.2f;
            p.objects.push_back(satellite);
        }
    }
    inputWords[side] = 0;
    for (int32_t& state : buttonStates[side]) state = BUTTON_STATE_UP;
}

namespace {

// Above 100 of the start countdown no input passes; below it only the arrows
// and V.
void ApplyCountdownMasks(InputWord* word) {
    if (startCountdown > 100) *word = 0;
    else if (startCountdown > 0) *word &= INPUT_COUNTDOWN_MASK;
}

void ReadPadInput(int side) {
    ReadInputWord(side, &inputWords[side]);
    ApplyCountdownMasks(&inputWords[side]);
}

// Network play: the local side samples pad 0 (whichever side it plays) every
// netSendInterval frames; the exchange keeps it for resends and sends it.
void SampleNetworkInput(int side) {
    if (side != netLocalSide || netSendInterval == 0) return;
    if (static_cast<uint32_t>(battleFrame) % netSendInterval != 0) return;
    PlayerRecord& p = players[side];
    ReadInputWord(0, &p.netInput);
    ApplyCountdownMasks(&p.netInput);
    SendInputSample(battleFrame, p.netInput);
}

}  // namespace

void ReadPlayerInput(int side) {
    switch (gameMode) {
    case MODE_VS_NETWORK:
        SampleNetworkInput(side);
        return;
    case MODE_PRACTICE:
    case MODE_1P_VS_CPU:
    case MODE_ARCADE:
        if (side == 0) {
            ReadPadInput(0);
        } else if (battlePaused == 1) {
            inputWords[1] = 0;
        } else {
            // The practice dummy stands still, but its computer routine still
            // runs so that it draws the same random numbers.
            if (characterCalls.cpuInput) characterCalls.cpuInput(&inputWords[1], 1);
            if (gameMode == MODE_PRACTICE) inputWords[1] = 0;
        }
        return;
    default:  // two players on one machine
        ReadPadInput(side);
        return;
    }
}

void ClampToArena(float* x, float* y) {
    const double dx = *x, dy = *y;
    if (dx * dx + dy * dy <= static_cast<double>(ARENA_RADIUS) * ARENA_RADIUS) return;
    const double a = std::atan2(dy, dx);
    *x = static_cast<float>(ARENA_RADIUS * std::cos(a));
    *y = static_cast<float>(ARENA_RADIUS * std::sin(a));
}

void UpdatePlayer(int side) {
    PlayerRecord& p = players[side];
    if (!p.active) return;
    if (++p.counter > 10000) p.counter -= 10000;
    if (p.state != PLAYER_KNOCKED_BACK) {
        p.boostGauge -= 0.01;
        if (p.boostGauge < 0.0f) p.boostGauge = 0.0f;
    }
    if (p.shownLife > p.life) p.shownLife -= 4;
    if (p.shownLife < p.life) p.shownLife = p.life;
    if (gameMode == MODE_PRACTICE && p.state != PLAYER_KNOCKED_BACK) {
        if (p.life < p.maxLife) {
            p.life += 10;
            if (p.life > p.maxLife) p.life = p.maxLife;
        }
        if (p.shownLife < p.life) p.shownLife = p.life;
    }
    if (p.comboTimer > -100) p.comboTimer -= 2;
    if (p.invulnerableTimer > 0) --p.invulnerableTimer;
    else if (p.invulnerableTimer < 0) ++p.invulnerableTimer;
    if (gameMode == MODE_PRACTICE && p.hyperGauge < 3.0f) p.hyperGauge += 0.05;
    if (difficulty == DIFFICULTY_HARD && side == 1) {
        p.hyperGauge += 0.001;
        if (p.life < 2001) p.hyperGauge += 0.001;
    }

    if (characterCalls.update) characterCalls.update(side);
    ClampToArena(&p.x, &p.y);
    if (p.boostGauge > 3.0f) p.boostGauge = 3.0f;
}

void ResetPlayerRecordState() {
    for (PlayerRecord& player : players) player = PlayerRecord{};
    for (CharacterParams& params : characterParams) params = {};
    characterCalls = {};
}

void ApplyPlaybackMatch() {
    const ReplayMatch match = GetPlaybackMatch();
    players[0].characterId = match.p1CharacterId;
    players[1].characterId = match.p2CharacterId;
    players[0].colour = match.p1Colour;
    players[1].colour = match.p2Colour;
    stageNumber = match.stageNumber;
    gameMode = match.gameMode;
    difficulty = match.difficulty;
}
