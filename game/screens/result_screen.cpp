#include "game/screens/result_screen.h"

#include <algorithm>
#include <numeric>

#include "engine//graphics/device.h"
#include "engine/core/resource.h"
#include "engine/graphics/font.h"
#include "engine/graphics/primitives2d.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/battle/match_rules.h"
#include "game/flow/input_words.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/replay_writer.h"
#include "game/screens/result_sheets.h"
#include "game/screens/screen_sky.h"
#include "game/screens/screen_sprites.h"
#include "game/screens/screen_tables.h"
#include "game/screens/title_menu.h"
#include "platform/glyphs.h"

ResultScreenState resultScreen;

namespace {

constexpr const char* kSystemArchive = "gf\\system.dat";
// "Ｈ(ハイパー)ボタンでリプレイを保存できます。"
constexpr const char* kSaveHint =
    "\x82\x67(\x83\x6e\x83\x43\x83\x70\x81\x5b)\x83\x7b\x83\x5e\x83\x93\x82\xc5\x83\x8a\x83\x76\x83\x8c\x83\x43\x82"
    "\xf0\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb7\x81\x42";
// "%sに保存されました。"
constexpr const char* kSavedMessage = "%s\x82\xc9\x95\xdb\x91\xb6\x82\xb3\x82\xea\x82\xdc\x82\xb5\x82\xbd\x81\x42";
// The folder part of replayFileName ("replay\\"), left out of the message.
constexpr size_t kReplayFolderLength = 7;
// The title's opening state after an arcade run: the ranking or the name entry.
constexpr int32_t kTitleOpensRanking = 5;
// The arcade's extra stage, which offers no continue.
constexpr int32_t kExtraStage = 6;
// In an arcade loss the heading falls until here, then the continue comes.
constexpr float kArcadeLossWait = -30.0f;
// The grade letter's top edge on the screen.
constexpr int32_t kGradeTop = 222;

Model* resultSkyModel = nullptr;
Texture* resultStandTexture = nullptr;
Texture* conclusionSheet = nullptr;
Texture* conclusionLineTexture = nullptr;
Font* resultMessageFont = nullptr;
float skyOffset = 0.0f;

bool Pressed(int side, int slot) { return buttonStates[side][slot] == BUTTON_STATE_PRESSED; }
bool PressedByEither(int slot) { return Pressed(0, slot) || Pressed(1, slot); }

bool ArcadeLoss() { return gameMode == MODE_ARCADE && winnerSide == 1; }

// The six slides in the order the panels come in.
float* const kSlides[] = {&resultScreen.headingSlide, &resultScreen.lifeSlide,  &resultScreen.timeSlide,
                          &resultScreen.comboSlide,   &resultScreen.scoreSlide, &resultScreen.gradeSlide};

void RiseTo1(float& value, float step) { value = std::min(1.0f, value + step); }

// The line is drawn twice, the second time 255 pixels to the left and 100
// lower, so the lower half of the canvas holds what does not fit the first.
void RenderConclusionLine() {
    Font* font = CreateFont(platform::GOTHIC_FACE, 24, 0, 0, nullptr);
    if (font->BeginDC()) {
        font->SetTarget(FONT_TARGET_TEXTURE, conclusionLineTexture);
        conclusionLineTexture->Fill(0);
        const char* line = ConclusionLine(battleResult.winnerCharacter, battleResult.conclusionLine);
        font->DrawTextSmooth(0, 5, 0xFF000000, "%s", line);
        font->DrawTextSmooth(-255, 105, 0xFF000000, "%s", line);
        font->EndDC();
    }
    conclusionLineTexture->Update();
    font->Release();
}

void StartLeaving(int32_t phase) {
    resultScreen.phase = phase;
    StartTransition(TRANSITION_KIND_124);
}

// Every frame: the panels come in while the result shows, and go out in the
// other phases; the continue panel fades in and its countdown runs.
void AnimateResult() {
    ResultScreenState& r = resultScreen;
    if (r.phase > RESULT_PHASE_FADE_IN && r.phase < 100) {
        RiseTo1(r.standAlpha, 0.02f);
        RiseTo1(r.bandAlpha, 0.02f);
        for (float* slide : kSlides) RiseTo1(*slide, 0.05f);
        battleResult.previousScore = std::min(battleResult.previousScore + 55, battleResult.score);
    } else {
        if (r.bandAlpha > 0.0f) r.bandAlpha -= 0.05f;
        for (float* slide : kSlides)
            if (*slide > 0.0f) *slide -= 0.05f;
    }
    if (r.phase == RESULT_PHASE_CONTINUE) {
        RiseTo1(r.continueAlpha, 0.02f);
        if (r.continueCountdown > 0) --r.continueCountdown;
        if (r.continueCountdown >= 1 && r.continueCountdown % RESULT_CONTINUE_DIGIT_FRAMES == 0) PlaySe(SE_CURSOR);
    }
}

void UpdateArcadeLoss() {
    ResultScreenState& r = resultScreen;
    r.lifeSlide = r.timeSlide = r.comboSlide = r.gradeSlide = r.scoreSlide = -10.0f;
    r.headingSlide -= 0.1f;
    if (r.headingSlide < kArcadeLossWait || Pressed(0, BUTTON_Z)) {
        if (replayPlayback == 0 && arcadeStage != kExtraStage) {
            r.phase = RESULT_PHASE_CONTINUE;
            r.standAlpha = 1.0f;
        } else {
            StartLeaving(RESULT_PHASE_LEAVE);
        }
    }
}

void UpdateShownResult() {
    ResultScreenState& r = resultScreen;
    if (ArcadeLoss()) {
        UpdateArcadeLoss();
    } else if (PressedByEither(BUTTON_Z)) {
        // Z brings every panel in at once; once they are in, it leaves.
        if (r.headingSlide <= 0.0f) {
            const float lift = -r.headingSlide;
            for (float* slide : kSlides) *slide += lift;
        } else {
            StartLeaving(RESULT_PHASE_LEAVE);
        }
    }
    if (PressedByEither(BUTTON_C) && r.replaySaved == 0 && replayPlayback == 0) {
        WriteReplayFile();
        PlaySe(SE_DECIDE);
    }
}

void UpdateContinue() {
    ResultScreenState& r = resultScreen;
    if (Pressed(0, BUTTON_Z)) {
        r.phase = RESULT_PHASE_CONTINUE_LEAVE;
        r.continueChosen = 1;
        StartTransition(TRANSITION_FADE_OUT);
        PlaySe(SE_DECIDE);
    }
    if (Pressed(0, BUTTON_X)) {
        r.continueCountdown -= RESULT_CONTINUE_DIGIT_FRAMES;
        PlaySe(SE_CURSOR);
        if (r.continueCountdown < 0) {
            r.continueCountdown = 0;
            StartLeaving(RESULT_PHASE_CONTINUE_LEAVE);
            return;
        }
    }
    if (r.continueCountdown == 0) StartLeaving(RESULT_PHASE_CONTINUE_LEAVE);
}

// ---- drawing ----

using namespace result_sheets;
static_assert(kGrades == GRADE_CONTINUE + 1, "a letter for every grade");

gpu::RECT Source(const result_sheets::Cell& c) { return SheetCell(c.left, c.top, c.width, c.height); }

void DrawSheet(const gpu::RECT& dest, const result_sheets::Cell& cell, uint32_t colour) {
    const gpu::RECT source = Source(cell);
    conclusionSheet->Draw(&dest, 0.0f, &source, colour, BLEND_ALPHA);
}

// cells digits of value from the left, 22 pixels apart, the most significant
// first; the places above the value's own digits show a 0 at half alpha.
void DrawNumber(int32_t value, int32_t cells, int32_t left, int32_t bottom, int32_t width, int32_t height,
                int32_t alpha) {
    value = std::max(value, 0);
    const int32_t shown = CountDigits(value);
    for (int32_t k = cells; k >= 1; --k) {
        const int32_t x = left + 22 * (cells - k);
        const gpu::RECT dest{x, bottom - height, x + width, bottom};
        const bool lead = k > shown;
        DrawSheet(dest, DigitCell(lead ? 0 : GetDigit(value, k)), WhiteAt(static_cast<float>(lead ? alpha / 2 : alpha)));
    }
}

struct PanelRow {
    float ResultScreenState::*slide;
    Label label;
    int32_t bottom;
    const int32_t* value;
};

void DrawPanels() {
    const ResultScreenState& r = resultScreen;
    if (r.headingSlide > 0.0f) {
        const int32_t x = static_cast<int32_t>(200 * r.headingSlide) - 40;
        DrawSheet({x - 150, 20, x + 150, 80}, LabelCell(LABEL_RESULT), WhiteAt(255 * r.headingSlide));
    }
    const PanelRow rows[] = {
        {&ResultScreenState::lifeSlide, LABEL_LIFE, 135, &battleResult.life},
        {&ResultScreenState::timeSlide, LABEL_TIME_BONUS, 175, &battleResult.timeBonus},
        {&ResultScreenState::comboSlide, LABEL_BEST_COMBO, 215, &battleResult.bestComboDamage},
        {&ResultScreenState::scoreSlide, LABEL_SCORE, 295, &battleResult.previousScore},
    };
    for (const PanelRow& row : rows) {
        const float s = r.*row.slide;
        if (s <= 0.0f) continue;
        const int32_t alpha = AlphaByte(255 * s);
        const int32_t left = static_cast<int32_t>(200 * s) - 100;
        DrawSheet({left, row.bottom - 30, left + 150, row.bottom}, LabelCell(row.label), WhiteAt(static_cast<float>(alpha)));
        DrawNumber(*row.value, 7, left + 160, row.bottom, 24, 29, alpha);
        if (row.label != LABEL_BEST_COMBO) continue;
        const int32_t hitsLeft = left + 160 + 7 * 22 + 12;
        DrawNumber(battleResult.bestComboHits, 3, hitsLeft, row.bottom, 16, 20, alpha);
        // At the label cell's own proportions, so the word is not squeezed.
        DrawSheet({hitsLeft + 3 * 22, row.bottom - 20, hitsLeft + 3 * 22 + 100, row.bottom}, LabelCell(LABEL_HITS),
                  WhiteAt(static_cast<float>(alpha)));
    }
    if (r.gradeSlide > 0.0f) {
        const int32_t x = 300 + static_cast<int32_t>(200 * r.gradeSlide);
        const int32_t grade = std::clamp<int32_t>(battleResult.grade, 0, kGrades - 1);
        // Below the best-combo row, so the letter leaves the hit count clear.
        DrawSheet({x - 50, kGradeTop, x + 50, kGradeTop + 100}, GradeCell(grade), WhiteAt(255 * r.gradeSlide));
    }
    if (r.continueAlpha > 0.0f) {
        const uint32_t colour = WhiteAt(255 * r.continueAlpha);
        DrawSheet({200, 170, 440, 220}, LabelCell(LABEL_CONTINUE), colour);
        DrawSheet({295, 225, 345, 295}, ContinueDigitCell(r.continueCountdown / RESULT_CONTINUE_DIGIT_FRAMES), colour);
    }
}

void DrawStandPicture() {
    const ResultScreenState& r = resultScreen;
    const float a = r.standAlpha;
    const gpu::RECT src{0, 0, 511, 511};
    const gpu::RECT shadow = CentredRect(640 - 210 * a, 256 + 5 * a, 256, 256);
    resultStandTexture->Draw(&shadow, 0.0f, &src, BlackAt(100 * a), BLEND_ALPHA);
    uint32_t tint = 0xFFFFFF;
    if (r.headingSlide >= 0.0f) {
        const uint32_t grey = static_cast<uint32_t>(std::clamp(255 - static_cast<int32_t>(150 * r.headingSlide), 0, 255));
        tint = grey << 16 | grey << 8 | grey;
    }
    const gpu::RECT picture = CentredRect(640 - 200 * a, 256, 256, 256);
    resultStandTexture->Draw(&picture, 0.0f, &src, ColourAt(255 * a, tint), BLEND_ALPHA);
}

// The band under the conclusion line builds up from the left in turning
// tiles, then stands as one white strip.
void DrawBand() {
    const float band = resultScreen.bandAlpha;
    if (band < 1.0f) {
        const gpu::RECT plain{0, 0, 30, 30};
        for (int column = 0; column < 26; ++column) {
            const float t = std::clamp(1.5f * band - static_cast<float>(column) / 26.0f * 0.5f, 0.0f, 1.0f);
            if (t <= 0.0f) continue;
            for (int row = 0; row < 4; ++row) {
                const float half = 12.5f * t;
                const gpu::RECT tile = CentredRect(12.0f + 25.0f * static_cast<float>(column),
                                                   372.0f + 25.0f * static_cast<float>(row), half, half);
                transitionSprite->DrawRotated(&tile, 0.0f, &plain, RadianToAngle((1.0f - t) * PI_F), 0xC8FFFFFF,
                                              BLEND_ALPHA);
            }
        }
        return;
    }
    const gpu::RECT strip{0, 359, 640, 459};
    FillRect(&strip, 0xC8FFFFFF);
    const gpu::RECT upperSrc{0, 0, 255, 100}, upper{64, 360, 320, 460};
    const gpu::RECT lowerSrc{0, 100, 255, 200}, lower{320, 360, 576, 460};
    conclusionLineTexture->Draw(&upper, 0.0f, &upperSrc, 0xFFFFFFFF, BLEND_ALPHA);
    conclusionLineTexture->Draw(&lower, 0.0f, &lowerSrc, 0xFFFFFFFF, BLEND_ALPHA);
}

void DrawSaveMessage() {
    if (resultScreen.bandAlpha < 1.0f || replayPlayback != 0) return;
    if (!resultMessageFont->BeginDC()) return;
    if (resultScreen.replaySaved)
        resultMessageFont->DrawTextSmooth(370, 440, 0xFF000000, kSavedMessage, replayFileName + kReplayFolderLength);
    else
        resultMessageFont->DrawTextSmooth(260, 440, 0xFF000000, "%s", kSaveHint);
    resultMessageFont->EndDC();
}

// ---- leaving ----

bool HasContinued() {
    return std::find(stageGrades.begin(), stageGrades.end(), GRADE_CONTINUE) != stageGrades.end();
}

// The run ends: the ranking entry, then the staff roll after a clear or the
// title's ranking after a loss. A clear without continue marks the character
// cleared at this difficulty and opens the extra menu.
void EndArcadeRun(bool won) {
    rankingPlace = InsertRanking(difficulty, players[0].characterId, arcadeScore);
    SaveRanking();
    titleStartState = kTitleOpensRanking;
    ChangeScene(won ? SCENE_STAFF_ROLL : SCENE_TITLE);
    if (!won || HasContinued()) return;
    const int32_t id = players[0].characterId;
    if (difficulty >= DIFFICULTY_EASY && difficulty <= DIFFICULTY_HARD && id >= 0 && id < 20)
        systemData.cleared[difficulty][id] = 1;
    systemData.extraUnlocked = 1;
    // Kept at once, so that quitting during the staff roll keeps the clear.
    SaveSystemData();
}

void LeaveArcade() {
    const bool won = winnerSide == 0;
    const int32_t gradeSum = std::accumulate(stageGrades.begin(), stageGrades.end(), 0);
    const bool lastStageWon = arcadeStage == 5 && won &&
                              (gradeSum > 12 || stageNumber == 8 || difficulty == DIFFICULTY_EASY);
    if (arcadeStage == kExtraStage || lastStageWon || (!won && !resultScreen.continueChosen)) {
        EndArcadeRun(won);
        return;
    }
    if (won) {
        ++arcadeStage;
    } else {
        std::fill(stageGrades.begin(), stageGrades.end(), GRADE_CONTINUE);
        arcadeScore = 0;
    }
    AdvanceArcadeLadder();
    const bool extraAnimation = arcadeStage == kExtraStage && players[0].characterId != 8;
    ChangeScene(extraAnimation ? SCENE_ANIMATION : SCENE_VERSUS);
    if (extraAnimation) animationNextScene = SCENE_VERSUS;
}

}  // namespace

void InitResult() {
    ResultScreenState& r = resultScreen;
    r.phase = RESULT_PHASE_FADE_IN;
    r.leavePending = 0;
    r.standAlpha = 0.0f;
    r.bandAlpha = 0.0f;
    r.headingSlide = -10.0f;
    r.lifeSlide = -10.5f;
    r.timeSlide = -11.0f;
    r.comboSlide = -11.5f;
    r.scoreSlide = -12.0f;
    r.gradeSlide = -13.0f;
    r.continueAlpha = 0.0f;
    r.continueCountdown = RESULT_CONTINUE_FRAMES;
    r.continueChosen = 0;
    r.replaySaved = 0;
    SetFog(1000.0f, 1250.0f, 0xFF143264);
    resultSkyModel = CreateScreenSky();
    resultStandTexture = CreateTextureFromArchive(kSystemArchive, StandPictureKey(battleResult.winnerCharacter), 1, nullptr);
    conclusionSheet = CreateTextureFromArchive(kSystemArchive, "conclusion_font", 1, nullptr);
    resultMessageFont = CreateFont(platform::GOTHIC_FACE, 14, 0, 0, nullptr);
    conclusionLineTexture = CreateTexture(256, 256, 1, nullptr);
    RenderConclusionLine();
    PlayBgm(0);
    PlaySe(SE_WIN);
    StartTransition(TRANSITION_WIPE_14);
    sceneInitPending = 0;
}

void UpdateResult() {
    AnimateResult();
    switch (resultScreen.phase) {
    case RESULT_PHASE_FADE_IN:
        if (!transitionRunning) resultScreen.phase = RESULT_PHASE_SHOW;
        break;
    case RESULT_PHASE_SHOW: UpdateShownResult(); break;
    case RESULT_PHASE_LEAVE:
    case RESULT_PHASE_CONTINUE_LEAVE:
        if (!transitionRunning) resultScreen.leavePending = 1;
        break;
    case RESULT_PHASE_CONTINUE: UpdateContinue(); break;
    default: break;
    }
}

void DrawResult() {
    if (BeginScene()) {
        BeginScreenSkyFrame();
        DrawScreenSky(resultSkyModel, skyOffset);
        SetRenderState(gpu::D3DRS_ZENABLE, 0);
        SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
        SetRenderState(gpu::D3DRS_FOGENABLE, 0);
        DrawStandPicture();
        Begin2D(BLEND_ALPHA);
        DrawBand();
        DrawPanels();
        End2D();
        DrawSaveMessage();
        DrawTransition();
        EndScene();
    }
    PresentFrame();
}

void LeaveResult() {
    ReleaseResource(resultSkyModel);
    ReleaseResource(resultStandTexture);
    ReleaseResource(conclusionSheet);
    ReleaseResource(conclusionLineTexture);
    ReleaseResource(resultMessageFont);
    if (replayPlayback != 0) {
        ChangeScene(SCENE_TITLE);
    } else if (gameMode == MODE_ARCADE) {
        LeaveArcade();
    } else {
        ChangeScene(SCENE_SELECT);
    }
}

void RunResultScene() {
    if (sceneInitPending) InitResult();
    ClearSePlayedFlags();
    UpdateBgm();
    DrawResult();
    PollInput();
    UpdateResult();
    if (resultScreen.leavePending) LeaveResult();
}

void ResetResultScreenState() {
    resultScreen = {};
    resultSkyModel = nullptr;
    resultStandTexture = nullptr;
    conclusionSheet = nullptr;
    conclusionLineTexture = nullptr;
    resultMessageFont = nullptr;
    skyOffset = 0.0f;
}
