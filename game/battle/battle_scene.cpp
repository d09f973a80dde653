#include "game/battle/battle_scene.h"

#include <algorithm>
#include <cmath>

#include "engine/core/application.h"
#include "engine/core/math.h"
#include "engine/core/resource.h"
#include "engine/devices/network.h"
#include "engine/graphics/texture.h"
#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_menu.h"
#include "game/battle/match_rules.h"
#include "game/flow/input_words.h"
#include "game/flow/net_exchange.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/shots/collision.h"
#include "game/shots/effects.h"
#include "game/shots/heavy_shots.h"
#include "game/shots/player_objects.h"
#include "game/shots/screen_flashes.h"
#include "game/shots/shots.h"

int32_t battleEndChoice = BATTLE_END_NORMAL;
int32_t winnerSide = 0;
BattleResult battleResult{};
int32_t winCounts[2] = {0, 0};

namespace {

BattleDrawing battleDrawing = DrawBattle;

constexpr double FADE_STEP = 0.02;
constexpr int32_t NO_TIME_LIMIT = 100;
// The bannerTimer value at which the music after a battle starts.
constexpr int32_t RESULT_MUSIC_BANNER_TIME = 200;

// --- Start ----------------------------------------------------------------

void LoadBattlePictures() {
    constexpr const char* archive = "gf\\system.dat";
    battleEffectTexture = CreateTextureFromArchive(archive, "effect", 1, nullptr);
    battlePerticleTexture = CreateTextureFromArchive(archive, "perticle", 1, nullptr);
    battleSystemTexture = CreateTextureFromArchive(archive, replayPlayback ? "system_r" : "system", 1, nullptr);
    battleNamePlateTexture = CreateTextureFromArchive(archive, "name_plate", 1, nullptr);
    battleMessageTexture = CreateTextureFromArchive(archive, "message", 1, nullptr);
    battleRenderTarget = CreateRenderTargetTexture(1024, 1024, nullptr);
}

ReplayMatch LiveMatch(int32_t seed) {
    return {players[0].characterId, players[1].characterId, players[0].colour, players[1].colour, stageNumber,
            gameMode,               difficulty,             seed,               config.noTimeLimit};
}

// --- Frame ----------------------------------------------------------------

// The zoom-in from the start level, or back from a close-up, to 1.0; each
// step is taken in double and rounded once.
void MoveFadeLevel() {
    const double level = battleFadeLevel;
    if (level > 1.0) battleFadeLevel = static_cast<float>(std::max(level - FADE_STEP, 1.0));
    else if (level < 1.0) battleFadeLevel = static_cast<float>(std::min(level + FADE_STEP, 1.0));
}

// Each side's word from its source, then the live pads (which open the menu
// even while a replay is played back).
void ReadInputs() {
    ReadPlayerInput(0);
    ReadPlayerInput(1);
    ReadInputWord(0, &players[0].padInput);
    ReadInputWord(1, &players[1].padInput);
}

void SyncInputs() {
    const SyncFrame frame{battleFrame,           startCountdown,  gameMode == MODE_VS_NETWORK,
                          battlePaused != 0,     battleOver != 0, replayPlayback != 0};
    for (int side = 0; side < 2; ++side) {
        PlayerRecord& p = players[side];
        SyncPlayerRecord record{p.netInput, &p.padInput, p.buttons};
        SyncPlayerInput(side, frame, record);
    }
}

void UpdateBattleWorld() {
    UpdatePlayer(0);
    UpdatePlayer(1);
    UpdatePlayerObjects(0);
    UpdatePlayerObjects(1);
    UpdateHeavyShots();
    UpdateShots();
    UpdateEffects();
    UpdateParticles();
    ResolveHits();
}

void FinishBattle(int32_t banner) {
    battleOver = 1;
    battleEndChoice = BATTLE_END_NORMAL;
    StartTransition(TRANSITION_KIND_1000);
    StartBanner(banner);
}

// A double knock-out finishes twice; the second simply restarts the banner.
void CheckKnockOuts() {
    for (const PlayerRecord& p : players)
        if (p.state == PLAYER_KNOCKED_OUT && p.stateTimer == KNOCKOUT_END_FRAMES) FinishBattle(BANNER_KNOCKOUT);
}

void CountTimer() {
    ++battleFrame;
    if (battleFrame % FRAMES_PER_TIMER_UNIT != 0 || battleTimer >= NO_TIME_LIMIT || battleOver) return;
    if (--battleTimer == 0) FinishBattle(BANNER_TIME_UP);
}

// T opens the menu: the final buttons outside playback and off the network,
// or a live pad unless a network match is connected.
void CheckMenuOpening() {
    const auto pressedT = [](const int32_t* states) { return states[BUTTON_T] == BUTTON_STATE_PRESSED; };
    if ((pressedT(buttonStates[0]) || pressedT(buttonStates[1])) && !replayPlayback && !netConnected) {
        OpenBattleMenu();
    }
    if ((pressedT(players[0].buttons) || pressedT(players[1].buttons)) &&
        (gameMode != MODE_VS_NETWORK || !netConnected) && !battleOver) {
        OpenBattleMenu();
    }
}

void RunFightFrame() {
    MoveFadeLevel();
    ReadInputs();
    battleDrawing();  // the picture shows the state before this frame's updates
    ClearAttackAreas();
    SyncInputs();
    UpdateBattleWorld();
    CheckKnockOuts();
    CountTimer();
    if (battleOver) {
        if (bannerTimer == RESULT_MUSIC_BANNER_TIME) PlayBgm(0);
        if (!transitionRunning) {
            EndBattle();
            return;
        }
    }
    CheckMenuOpening();
}

// While the menu is open only input, drawing and the menu run.
void RunMenuFrame() {
    ReadInputs();
    battleDrawing();
    SyncInputs();
    UpdateBattleMenu();
    if (battleOver && !transitionRunning) EndBattle();
}

// --- End ------------------------------------------------------------------

void FillBattleResult(int32_t w) {
    const PlayerRecord& winner = players[w];
    BattleResult& r = battleResult;
    r.winnerCharacter = winner.characterId;
    r.bestComboHits = winner.bestComboHits;
    r.bestComboDamage = winner.bestComboDamage;
    r.life = winner.life;
    r.timeBonus = ComputeTimeBonus(battleFrame);
    r.score = r.timeBonus + r.bestComboDamage + r.life;
    r.previousScore = 0;
    r.grade = ComputeGrade(w);
    r.conclusionLine = PickConclusionLine(winner.characterId, players[1 - w].characterId, stageNumber);
}

bool RunHadContinue() {
    return std::find(stageGrades.begin(), stageGrades.end(), GRADE_CONTINUE) != stageGrades.end();
}

// The arcade run (the player is side 0): a win adds its grade and score and
// unlocks by stage; a loss is a continue. Runs for every end, menu ones too.
void KeepArcadeBooks(int32_t w) {
    if (w == 1) {
        stageGrades.push_back(GRADE_CONTINUE);
        return;
    }
    stageGrades.push_back(battleResult.grade);
    battleResult.score += arcadeScore;
    battleResult.previousScore = arcadeScore;
    arcadeScore = battleResult.score;
    switch (stageNumber) {
    case 8: systemData.stageUnlocked[8] = 1; break;
    case 7:
        systemData.stageUnlocked[7] = 1;
        if (!RunHadContinue()) systemData.characterUnlocked[7] = 1;
        break;
    case 0:
        systemData.stageUnlocked[0] = 1;
        if (!RunHadContinue()) systemData.characterUnlocked[8] = 1;
        break;
    default: break;
    }
}

void ChooseNextScene(int32_t w) {
    switch (battleEndChoice) {
    case BATTLE_END_NORMAL:
        ChangeScene(SCENE_RESULT);
        if (!replayPlayback) ++winCounts[w];
        break;
    case BATTLE_END_RETRY:
        ChangeScene(SCENE_BATTLE);  // during playback the same replay again
        if (!replayPlayback && gameMode == MODE_ARCADE) StartArcadeRun();
        break;
    case BATTLE_END_SELECT: ChangeScene(replayPlayback ? SCENE_TITLE : SCENE_SELECT); break;
    case BATTLE_END_TITLE:
        ChangeScene(SCENE_TITLE);
        titleStartState = TITLE_START_MAIN;
        titleCursor = 0;
        replayListReturn = 0;  // not back into the replay list
        break;
    default: ChangeScene(SCENE_RESULT); break;
    }
}

}  // namespace

void ReleaseBattleAssets() {
    ReleaseResource(battleSystemTexture);
    ReleaseResource(battleEffectTexture);
    ReleaseResource(battlePerticleTexture);
    ReleaseResource(battleNamePlateTexture);
    ReleaseResource(battleMessageTexture);
    ReleaseResource(battleRenderTarget);
    ReleaseCharacterModels(0);
    ReleaseCharacterModels(1);
    ReleaseBattleModels();
}

void SetBattleDrawing(BattleDrawing drawing) { battleDrawing = drawing ? drawing : DrawBattle; }

int32_t StartingBattleTimer() {
    int32_t mode = gameMode;
    uint8_t noTimeLimit = config.noTimeLimit;
    if (replayPlayback) {
        const ReplayMatch match = GetPlaybackMatch();
        mode = match.gameMode;
        noTimeLimit = match.noTimeLimit;
    }
    if (mode == MODE_VS_NETWORK) return 99;
    if (mode == MODE_PRACTICE) return NO_TIME_LIMIT;
    return noTimeLimit ? NO_TIME_LIMIT : 99;
}

int32_t DecideWinner() {
    const PlayerRecord& a = players[0];
    const PlayerRecord& b = players[1];
    if (a.life != b.life) return a.life > b.life ? 0 : 1;
    if (a.bestComboDamage != b.bestComboDamage) return a.bestComboDamage > b.bestComboDamage ? 0 : 1;
    return a.bestComboHits > b.bestComboHits ? 0 : 1;
}

int32_t ComputeTimeBonus(int32_t frames) {
    // In double, so that no battle length overflows the product.
    const double bonus = 12000.0 - std::trunc((static_cast<double>(frames) - 201.0) * 1.5);
    if (bonus < 100.0) return 0;
    if (bonus > 10000.0) return 10000;
    return static_cast<int32_t>(bonus);
}

void InitBattle() {
    if (players[0].characterId == players[1].characterId && players[0].colour == players[1].colour) {
        players[0].colour = 0;
        players[1].colour = 1;
    }
    for (int side = 0; side < 2; ++side) {
        ResetPlayerForBattle(side);
        LoadCharacterModels(side);
    }
    LoadBattlePictures();
    cameraX = cameraY = viewHeight = viewWidth = 0.0f;
    LoadStage(stageNumber);
    EmptyBattleObjectLists();
    particleList.Free();
    startCountdown = START_COUNTDOWN;
    battleFadeLevel = START_FADE_LEVEL;
    battleOver = 0;
    battleTimer = StartingBattleTimer();
    StartBanner(BANNER_START);  // its draws come before the seed
    sceneInitPending = 0;
    battleFrame = 0;
    const bool drawnSeed = gameMode == MODE_1P_VS_CPU || gameMode == MODE_ARCADE;
    const int32_t seed = drawnSeed ? RandomInt(0, 9999) : 0;
    SeedRandom(static_cast<unsigned>(seed));
    if (replayPlayback) SeedRandom(static_cast<unsigned>(replayHeader.randomSeed));
    else StartReplayRecording(LiveMatch(seed));
    battlePaused = 0;
    PlayStageBgm(stageNumber);
    StartTransition(TRANSITION_WIPE_12);
    if (gameMode == MODE_VS_NETWORK && netConnected) RunStartHandshake([] { return PumpMessages() != 0; });
}

void RunBattleScene() {
    if (sceneInitPending) InitBattle();
    ClearSePlayedFlags();
    UpdateBgm();
    if (startCountdown > 0) --startCountdown;
    if (battlePaused == 0) RunFightFrame();
    else RunMenuFrame();
}

void EndBattle() {
    ReleaseBattleAssets();
    if (gameMode == MODE_VS_NETWORK) {
        if (netConnected) AnswerResendRequestsUntilSilent([] { return PumpMessages() != 0; });
        NetLogLine("[Success]:Scrap needless packet\n");
        NetClose();
    }
    const int32_t w = DecideWinner();
    winnerSide = w;
    FillBattleResult(w);
    MakeReplayFileName(replayFileName);
    if (!replayPlayback && gameMode == MODE_ARCADE) KeepArcadeBooks(w);
    ChooseNextScene(w);
}

void ResetBattleSceneState() {
    battleEndChoice = BATTLE_END_NORMAL;
    winnerSide = 0;
    battleResult = {};
    winCounts[0] = winCounts[1] = 0;
    battleDrawing = DrawBattle;
}
