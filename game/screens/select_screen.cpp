#include "game/screens/select_screen.h"

#include <algorithm>
#include <cmath>

#include "engine//core/math.h"
#include "engine/core/resource.h"
#include "engine/devices/network.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/battle/match_rules.h"
#include "game/flow/input_words.h"
#include "game/flow/net_exchange.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/screen_sky.h"
#include "game/screens/screen_sprites.h"
#include "game/screens/screen_tables.h"
#include "game/screens/select_sheets.h"
#include "game/screens/title_menu.h"
#include "game/shots/object_rules.h"

SelectScreenState selectScreen;
Model* selectSkyModel = nullptr;
int32_t lastSelectedCharacters[2] = {1, 2};
int32_t lastSelectedStage = 1;

void ResetFrontEndPositions() {
    ResetTitlePositions();
    lastSelectedCharacters[0] = 1;
    lastSelectedCharacters[1] = 2;
    lastSelectedStage = 1;
}

namespace {

Texture* selectWheelTexture = nullptr;
Texture* selectWheelTexture2 = nullptr;

constexpr const char* kSystemArchive = "gf\\system.dat";
constexpr float kWheelStep = 0.5235988f;  // pi/6
constexpr float kPi = 3.1415927f;
constexpr uint32_t kGrey = 0xA0A0A0;
// The stage strip shows two stages either side of the cursor, so the cursor
// is kept at least this far into the doubled list.
constexpr int32_t kStageMargin = 3;

// The sky's texture offset and the wheels' turn, kept across frames by each
// select screen on its own.
struct SelectDrawClock {
    float skyOffset = 0.0f;
    float decorationAngle = 0.0f;
};
SelectDrawClock onePlayerClock, twoPlayerClock, arcadeClock, networkClock;

bool Pressed(int side, int slot) { return buttonStates[side][slot] == BUTTON_STATE_PRESSED; }
bool Held(int side, int slot) { return buttonStates[side][slot] > BUTTON_STATE_RELEASED; }
bool Pressed(int slot) { return Pressed(0, slot); }
bool EitherPressed(int slot) { return Pressed(0, slot) || Pressed(1, slot); }
bool Choosing(int side) { return selectScreen.cursor[side] < SELECT_DECIDED_OFFSET; }

Texture* LoadPicture(const char* key) { return CreateTextureFromArchive(kSystemArchive, key, 1, nullptr); }

int32_t IndexOf(const std::vector<int32_t>& list, int32_t value) {
    const auto at = std::find(list.begin(), list.end(), value);
    return at == list.end() ? 0 : static_cast<int32_t>(at - list.begin());
}

// Brings a stage cursor into [3, m/2 + 3), where the strip around it stays
// inside the doubled list.
int32_t WrapStageCursor(int32_t cursor) {
    const int32_t half = static_cast<int32_t>(selectScreen.stageIds.size()) / 2;
    if (cursor >= half + kStageMargin) cursor -= half;
    if (cursor < kStageMargin) cursor += half;
    return cursor;
}

std::vector<int32_t> ListFlagged(const uint8_t* flags, int32_t first, int32_t last, int32_t defaultFirst,
                                 int32_t defaultLast) {
    std::vector<int32_t> ids;
    for (int32_t id = first; id <= last; ++id)
        if (flags[id] || (id >= defaultFirst && id <= defaultLast)) ids.push_back(id);
    return ids;
}

}  // namespace

int32_t SelectCursorMoved(int32_t cursor, int32_t step) {
    const int32_t n = static_cast<int32_t>(selectScreen.characterIds.size());
    cursor += step;
    if (cursor >= n) cursor = 0;
    if (cursor < 0) cursor = n - 1;
    return cursor;
}

int32_t StageCursorMoved(int32_t cursor, int32_t step) { return WrapStageCursor(cursor + step); }

// Moves a side's choosing cursor by one (+1 or -1), wrapping, and turns its
// wheel by one step in the same sense.
void MoveSelectCursor(int side, int32_t step) {
    selectScreen.cursor[side] = SelectCursorMoved(selectScreen.cursor[side], step);
    selectScreen.wheelSpin[side] = step > 0 ? kWheelStep : -kWheelStep;
    selectScreen.standSlide[side] = 0.0f;
    PlaySe(SE_CURSOR);
}

void UndecideSelectSide(int side) {
    selectScreen.cursor[side] %= SELECT_DECIDED_OFFSET;
    PlaySe(SE_CANCEL);
}

void CancelSelectScreen() {
    selectScreen.state = SELECT_CANCELLED;
    StartTransition(TRANSITION_KIND_124);
    PlaySe(SE_CANCEL);
}

void MoveSelectStageCursor(int32_t step) {
    selectScreen.stageCursor = StageCursorMoved(selectScreen.stageCursor, step);
    selectScreen.stageSpin = static_cast<float>(step);
    PlaySe(SE_CURSOR);
}

bool TurnStageRingOrTakeBack() {
    if (EitherPressed(BUTTON_RIGHT)) MoveSelectStageCursor(+1);
    if (EitherPressed(BUTTON_LEFT)) MoveSelectStageCursor(-1);
    if (!EitherPressed(BUTTON_X)) return false;
    for (int32_t& cursor : selectScreen.cursor) cursor %= SELECT_DECIDED_OFFSET;
    selectScreen.state = SELECT_CHARACTER;
    PlaySe(SE_CANCEL);
    return true;
}

void DecideSelectStage() {
    selectScreen.state = SELECT_DECIDED;
    StartTransition(TRANSITION_FADE_OUT);
    PlayBgm(0);
    PlaySe(SE_DECIDE);
}

namespace {

// Z: the side decides its character, in colour 1 while S is held on the
// buttons that chose it.
void Decide(int side, int buttons) {
    selectScreen.cursor[side] += Held(buttons, BUTTON_S) ? 2 * SELECT_DECIDED_OFFSET : SELECT_DECIDED_OFFSET;
    selectScreen.decideFlash[side] = 1.0f;
    PlaySe(SE_DECIDE);
}

// C: a random character, always in colour 0.
void DecideAtRandom(int side) {
    const int32_t n = static_cast<int32_t>(selectScreen.characterIds.size());
    selectScreen.cursor[side] = RandomInt(0, n - 1) + SELECT_DECIDED_OFFSET;
    selectScreen.wheelSpin[side] = -kWheelStep;
    selectScreen.standSlide[side] = 0.0f;
    selectScreen.decideFlash[side] = 1.0f;
    PlaySe(SE_DECIDE);
}

void DecideRandomStage() {
    const int32_t m = static_cast<int32_t>(selectScreen.stageIds.size());
    selectScreen.stageCursor = WrapStageCursor(RandomInt(0, m - 1));
    selectScreen.stageSpin = -1.0f;
    DecideSelectStage();
}

// In every select screen, once X has cancelled or undone a decision, the
// decision buttons of that frame are not read: a decision after the cancel
// would move the screen on with a side left undecided.
void UpdateCharacterChoice() {
    if (Pressed(BUTTON_LEFT)) MoveSelectCursor(0, +1);
    if (Pressed(BUTTON_RIGHT)) MoveSelectCursor(0, -1);
    if (Pressed(BUTTON_Z)) {
        Decide(0, 0);
        selectScreen.state = SELECT_OPPONENT;
    }
    if (Pressed(BUTTON_X)) {
        CancelSelectScreen();
    } else if (Pressed(BUTTON_C)) {
        DecideAtRandom(0);
        selectScreen.state = SELECT_OPPONENT;
    }
    LayOutSelectWheel();
}

void UpdateOpponentChoice() {
    if (Pressed(BUTTON_RIGHT)) MoveSelectCursor(1, +1);
    if (Pressed(BUTTON_LEFT)) MoveSelectCursor(1, -1);
    if (Pressed(BUTTON_X)) {
        UndecideSelectSide(0);
        selectScreen.state = SELECT_CHARACTER;
    } else {
        if (Pressed(BUTTON_Z)) Decide(1, 0);
        if (Pressed(BUTTON_C)) DecideAtRandom(1);
        if (!Choosing(1)) selectScreen.state = SELECT_STAGE;
    }
    LayOutSelectWheel();
}

void UpdateStageChoice() {
    if (Pressed(BUTTON_RIGHT)) MoveSelectStageCursor(+1);
    if (Pressed(BUTTON_LEFT)) MoveSelectStageCursor(-1);
    if (Pressed(BUTTON_X)) {
        UndecideSelectSide(1);
        selectScreen.state = SELECT_OPPONENT;
        return;
    }
    if (Pressed(BUTTON_Z)) DecideSelectStage();
    if (Pressed(BUTTON_C)) DecideRandomStage();
}

// Both sides choose at once, each with its own buttons and wheel.
void UpdateTwoPlayerCharacters() {
    if (Pressed(0, BUTTON_LEFT) && Choosing(0)) MoveSelectCursor(0, +1);
    if (Pressed(0, BUTTON_RIGHT) && Choosing(0)) MoveSelectCursor(0, -1);
    if (Pressed(1, BUTTON_RIGHT) && Choosing(1)) MoveSelectCursor(1, +1);
    if (Pressed(1, BUTTON_LEFT) && Choosing(1)) MoveSelectCursor(1, -1);
    for (int side = 0; side < 2; ++side)
        if (Pressed(side, BUTTON_Z) && Choosing(side)) Decide(side, side);
    bool undone[2] = {false, false};
    for (int side = 0; side < 2; ++side) {
        if (!Pressed(side, BUTTON_X)) continue;
        undone[side] = true;
        if (Choosing(side))
            CancelSelectScreen();  // either player may leave while undecided
        else
            UndecideSelectSide(side);
    }
    if (selectScreen.state == SELECT_CANCELLED) {
        LayOutSelectWheel();
        return;
    }
    for (int side = 0; side < 2; ++side)  // a decided side may pick again at random
        if (Pressed(side, BUTTON_C) && !undone[side]) DecideAtRandom(side);
    if (!Choosing(0) && !Choosing(1)) selectScreen.state = SELECT_STAGE;
    LayOutSelectWheel();
}

// Either side moves and decides the stage; only side 0 picks one at random.
void UpdateTwoPlayerStage() {
    if (TurnStageRingOrTakeBack()) return;
    if (EitherPressed(BUTTON_Z)) DecideSelectStage();
    if (Pressed(0, BUTTON_C)) DecideRandomStage();
}

void LoadArcadeStandPicture() {
    ReleaseResource(selectScreen.arcadeStandTexture);
    const int32_t id = selectScreen.characterIds[static_cast<size_t>(selectScreen.cursor[0] % SELECT_DECIDED_OFFSET)];
    // Ids without a stand picture load nothing.
    const char* key = StandPictureKey(id);
    if (*key) selectScreen.arcadeStandTexture = LoadPicture(key);
}

// Side 0 alone chooses its character; the ladder brings the rest.
void UpdateArcadeCharacter() {
    if (Pressed(BUTTON_LEFT)) {
        MoveSelectCursor(0, +1);
        LoadArcadeStandPicture();
    }
    if (Pressed(BUTTON_RIGHT)) {
        MoveSelectCursor(0, -1);
        LoadArcadeStandPicture();
    }
    if (Pressed(BUTTON_Z)) {
        selectScreen.cursor[0] = selectScreen.cursor[0] % SELECT_DECIDED_OFFSET + SELECT_DECIDED_OFFSET;
        DecideSelectStage();
    }
    if (Pressed(BUTTON_X)) CancelSelectScreen();
    LayOutSelectWheel();
}

// What a select screen does in its choosing states; the fade-in, the wait
// for the closing transition and the easing are the same on every screen.
struct SelectMachine {
    void (*character)();
    void (*opponent)();
    void (*stage)();
};
const SelectMachine kOnePlayerMachine{UpdateCharacterChoice, UpdateOpponentChoice, UpdateStageChoice};
const SelectMachine kTwoPlayerMachine{UpdateTwoPlayerCharacters, nullptr, UpdateTwoPlayerStage};
const SelectMachine kArcadeMachine{UpdateArcadeCharacter, nullptr, nullptr};

void RunSelectMachine(const SelectMachine& machine) {
    void (*step)() = nullptr;
    switch (selectScreen.state) {
    case SELECT_FADE_IN:
        if (!transitionRunning) selectScreen.state = SELECT_CHARACTER;
        break;
    case SELECT_CHARACTER: step = machine.character; break;
    case SELECT_OPPONENT: step = machine.opponent; break;
    case SELECT_STAGE: step = machine.stage; break;
    case SELECT_DECIDED:
    case SELECT_CANCELLED:
        if (!transitionRunning) selectScreen.leaveRequested = 1;
        break;
    default: break;
    }
    if (step) step();
    EaseSelectScreen();
}

// Eases a value back to 0 by step from either side, stopping at 0.
void EaseToZero(float& value, float step) {
    if (value > 0.0f) {
        value -= step;
        if (value < 0.0f) value = 0.0f;
    } else if (value < 0.0f) {
        value += step;
        if (value > 0.0f) value = 0.0f;
    }
}

// ---- drawing ----

int32_t CharacterAt(int32_t index) { return selectScreen.characterIds[static_cast<size_t>(index)]; }
int32_t ChosenCharacter(int side) { return CharacterAt(selectScreen.cursor[side] % SELECT_DECIDED_OFFSET); }

gpu::RECT Rect(const select_sheets::Cell& c) { return SheetCell(c.left, c.top, c.width, c.height); }
gpu::RECT FaceCell(int32_t id) { return Rect(select_sheets::FaceCell(id)); }
gpu::RECT NamePlateCell(int32_t id) { return SheetCell(128 * (id % 2), 40 * (id / 2), 128, 40); }
gpu::RECT StageCell(int32_t id) { return Rect(select_sheets::StageCell(id)); }
gpu::RECT StageNameCell(int32_t id) { return Rect(select_sheets::StageNameCell(id)); }

Texture* StandSheet(int32_t id) {
    const auto sheet = static_cast<size_t>(select_sheets::StandSheet(id));
    return sheet < selectScreen.standSheets.size() ? selectScreen.standSheets[sheet] : nullptr;
}
gpu::RECT StandCell(int32_t id) { return Rect(select_sheets::StandCell(id)); }

// Where a side's wheel, stand picture and plate sit: side 0 from the top-left
// corner, side 1 mirrored from the bottom-right.
struct SideLayout {
    float cornerX, cornerY;
    float faceTurn;  // added to every face angle
};
const SideLayout kSides[2] = {{0.0f, 0.0f, 0.0f}, {640.0f, 480.0f, kPi}};

// What the picture of one select screen varies over the shared drawing.
struct SelectLook {
    SelectDrawClock* clock;
    bool depthTest;            // depth test on over the sky
    int32_t sideOneLitIn;      // the state lighting side 1's face at the cursor
    bool showsWinCounts;       // both sides' won battles beside the wheels
    void (*pictures)(const SelectLook&);
    void (*overTransition)();  // drawn over the transition, or null
};

void DrawBand(int side, Texture* sprite, const gpu::RECT& cell, uint32_t colour, int mode) {
    const float show = selectScreen.wheelShow[side];
    const gpu::RECT band = side == 0 ? gpu::RECT{0, static_cast<int32_t>(30 * show), 640, static_cast<int32_t>(150 + 30 * show)}
                                     : gpu::RECT{0, static_cast<int32_t>(330 - 30 * show), 640,
                                                 static_cast<int32_t>(480 - 30 * show)};
    sprite->Draw(&band, 0.0f, &cell, colour, mode);
}

void DrawStandPicture(int side) {
    const float slide = selectScreen.standSlide[side];
    const float show = selectScreen.wheelShow[side];
    const int32_t id = ChosenCharacter(side);
    Texture* sheet = StandSheet(id);
    if (!sheet) return;
    const gpu::RECT cell = StandCell(id);
    const float shadowX = side == 0 ? 640 - 200 * slide : 200 * slide;
    const float pictureX = side == 0 ? std::max(440.0f, shadowX) : std::min(200.0f, shadowX);
    const float y = side == 0 ? 75 + 30 * show : 405 - 30 * show;
    const gpu::RECT shadow = CentredRect(shadowX, y, 256, 75);
    sheet->Draw(&shadow, 0.0f, &cell, BlackAt(std::min(100.0f, 100 * slide)), BLEND_ALPHA);
    const bool decided = selectScreen.cursor[side] >= SELECT_DECIDED_OFFSET;
    const gpu::RECT picture = CentredRect(pictureX, y, 256, 75);
    sheet->Draw(&picture, 0.0f, &cell, ColourAt(std::min(255.0f, 255 * slide), decided ? 0xFFFFFF : kGrey),
                BLEND_ALPHA);
}

// A side's wheel decoration and its twelve faces about the point (cx, cy);
// the face at the cursor is lit in the state litIn.
void DrawWheel(int side, float cx, float cy, int32_t litIn, float decorationAngle) {
    const SideLayout& at = kSides[side];
    const float show = selectScreen.wheelShow[side];
    const gpu::RECT whole = SheetCell(0, 0, 512, 512);
    const float outer = 520 - 200 * show, inner = 280 - 90 * show;
    gpu::RECT dest = CentredRect(cx, cy, outer, outer);
    selectWheelTexture->DrawRotated(&dest, 0.0f, &whole, RadianToAngle(-decorationAngle), WhiteAt(255 * show),
                                    BLEND_ALPHA_ADD);
    dest = CentredRect(cx, cy, inner, inner);
    selectWheelTexture->DrawRotated(&dest, 0.0f, &whole, RadianToAngle(decorationAngle), WhiteAt(255 * show),
                                    BLEND_ALPHA_ADD);
    for (int k = 0; k < SELECT_WHEEL_POSITIONS; ++k) {
        const float a = static_cast<float>(k) * 2 * kPi / 12 - kPi / 4 + selectScreen.wheelSpin[side] + at.faceTurn;
        float centre[2] = {0.0f, 300 - 100 * show};
        RotateVector2(centre, a);
        const float half = 120 - 60 * show;
        const gpu::RECT face = CentredRect(cx + centre[0], cy + centre[1], half, half);
        const gpu::RECT cell = FaceCell(CharacterAt(selectScreen.wheelRing[side][k]));
        const bool lit = k == 0 && selectScreen.state == litIn;
        selectScreen.faceTexture->DrawRotated(&face, 0.0f, &cell, RadianToAngle(a),
                                              ColourAt(255 * show, lit ? 0xFFFFFF : kGrey), BLEND_ALPHA);
    }
}

void DrawNamePlate(int side) {
    const float show = selectScreen.wheelShow[side];
    const float alpha = std::min(255.0f, 255 * selectScreen.standSlide[side]);
    const float x = side == 0 ? 540.0f : 100.0f;
    const float y = side == 0 ? 130 + 30 * show : 460 - 30 * show;
    const float shadowDx = side == 0 ? -6.0f : 6.0f;
    const gpu::RECT cell = NamePlateCell(ChosenCharacter(side));
    const gpu::RECT shadow = CentredRect(x + shadowDx, y + 4, 70, 20);
    selectScreen.namePlateTexture->Draw(&shadow, 0.0f, &cell, BlackAt(static_cast<float>(AlphaByte(alpha) / 4)),
                                        BLEND_ALPHA);
    const gpu::RECT plate = CentredRect(x, y, 70, 20);
    selectScreen.namePlateTexture->Draw(&plate, 0.0f, &cell, WhiteAt(alpha), BLEND_ALPHA);
}

void DrawDecideFlash(int side) {
    if (selectScreen.decideFlash[side] > 0.0f)
        DrawBand(side, transitionSprite, SheetCell(32, 0, 31, 31), WhiteAt(150 * selectScreen.decideFlash[side]),
                 BLEND_ALPHA_ADD);
}

void DrawSide(int side, int32_t litIn, float decorationAngle) {
    DrawStandPicture(side);
    DrawWheel(side, kSides[side].cornerX, kSides[side].cornerY, litIn, decorationAngle);
    DrawNamePlate(side);
}

void DrawStageChoice() {
    const float spin = selectScreen.stageSpin;
    for (int j = -2; j <= 2; ++j) {
        const int32_t id = selectScreen.stageIds[static_cast<size_t>(selectScreen.stageCursor + j)];
        const gpu::RECT dest = CentredRect(320 + 130.0f * static_cast<float>(j) + 130 * spin, 240, 64, 64);
        const gpu::RECT cell = StageCell(id);
        selectScreen.stageTexture->Draw(&dest, 0.0f, &cell, WhiteAt(255.0f - 100.0f * static_cast<float>(std::abs(j))),
                                        BLEND_ALPHA);
    }
    const gpu::RECT nameDest{192, 280, 448, 320};
    const gpu::RECT nameCell = StageNameCell(selectScreen.stageIds[static_cast<size_t>(selectScreen.stageCursor)]);
    selectScreen.stageNameTexture->Draw(&nameDest, 0.0f, &nameCell, WhiteAt(255 - 255 * std::fabs(spin)),
                                        BLEND_ALPHA);
}

void DrawLabels() {
    const uint32_t colour = WhiteAt(255 * selectScreen.wheelShow[0]);
    const gpu::RECT first = CentredRect(60, 55, 75, 15), firstCell = Rect(select_sheets::kSideLabels[0]);
    const gpu::RECT second = CentredRect(580, 425, 75, 15), secondCell = Rect(select_sheets::kSideLabels[1]);
    selectScreen.faceTexture->Draw(&first, 0.0f, &firstCell, colour, BLEND_ALPHA);
    selectScreen.faceTexture->Draw(&second, 0.0f, &secondCell, colour, BLEND_ALPHA);
}

// Each side's battles won since the title menu, at most 99, as two digits
// from the stage-name sheet.
void DrawWinCounts() {
    if (winCounts[0] + winCounts[1] <= 0) return;
    const gpu::RECT places[2][2] = {{{27, 73, 52, 108}, {52, 73, 77, 108}}, {{562, 373, 587, 408}, {587, 373, 612, 408}}};
    for (int side = 0; side < 2; ++side) {
        const int32_t count = std::clamp(winCounts[side], 0, 99);
        const int32_t digits[2] = {count / 10, count % 10};
        for (int d = 0; d < 2; ++d) {
            const gpu::RECT cell = Rect(select_sheets::WinDigit(digits[d]));
            selectScreen.stageNameTexture->Draw(&places[side][d], 0.0f, &cell,
                                                WhiteAt(255 * selectScreen.wheelShow[side]), BLEND_ALPHA);
        }
    }
}

void DrawWhiteFlash() {
    const gpu::RECT screen{0, 0, 640, 480}, flashCell = SheetCell(32, 0, 11, 11);
    transitionSprite->Draw(&screen, 0.0f, &flashCell, WhiteAt(255 * selectScreen.whiteFlash), BLEND_ALPHA_ADD);
}

float TurnDecoration(SelectDrawClock& clock) {
    clock.decorationAngle += 0.002f;
    if (clock.decorationAngle > 2 * kPi) clock.decorationAngle -= 2 * kPi;
    return clock.decorationAngle;
}

// Both wheels, the stand sheets and the stage ring: the one-player and the
// two-player pictures.
void DrawSelectPictures(const SelectLook& look) {
    const SelectScreenState& s = selectScreen;
    const float decorationAngle = TurnDecoration(*look.clock);
    if (s.stageShow > 0.0f) {
        const float half = 150 + 200 * s.stageShow;
        const gpu::RECT dest = CentredRect(320, 240, half, half), whole = SheetCell(0, 0, 512, 512);
        selectWheelTexture2->DrawRotated(&dest, 0.0f, &whole, RadianToAngle(-decorationAngle),
                                         WhiteAt(255 * s.stageShow), BLEND_ALPHA_ADD);
    }
    if (s.state >= SELECT_CHARACTER && s.state != SELECT_CANCELLED) {
        const gpu::RECT plain = SheetCell(0, 0, 31, 31);
        DrawBand(0, transitionSprite, plain, 0x64FFFFFF, BLEND_ALPHA);
        DrawBand(1, transitionSprite, plain, 0x64FFFFFF, BLEND_ALPHA);
    }
    DrawSide(0, SELECT_CHARACTER, decorationAngle);
    DrawDecideFlash(0);
    DrawSide(1, look.sideOneLitIn, decorationAngle);
    // Side 1's flash goes under the labels and counts on the two-player screen.
    if (look.showsWinCounts) DrawDecideFlash(1);
    DrawLabels();
    if (look.showsWinCounts)
        DrawWinCounts();
    else
        DrawDecideFlash(1);
    if (s.state == SELECT_STAGE) DrawStageChoice();
    DrawWhiteFlash();
}

// One wheel near the top-left corner and the large stand picture of the
// character under the cursor; no side 1, no stage.
void DrawArcadePictures(const SelectLook& look) {
    const SelectScreenState& s = selectScreen;
    const float decorationAngle = TurnDecoration(*look.clock);
    const gpu::RECT band{0, 400, 640, 465}, plain = SheetCell(0, 0, 31, 31);
    transitionSprite->Draw(&band, 0.0f, &plain, 0x64FFFFFF, BLEND_ALPHA);
    const float slide = s.standSlide[0];
    const float alpha = std::min(255.0f, 255 * slide);
    if (s.arcadeStandTexture) {
        const gpu::RECT whole = SheetCell(0, 0, 513, 513);
        const gpu::RECT shadow{static_cast<int32_t>(640 - 215 * slide - 256), -6,
                               static_cast<int32_t>(640 - 215 * slide + 256), 506};
        s.arcadeStandTexture->Draw(&shadow, 0.0f, &whole, BlackAt(static_cast<float>(AlphaByte(alpha) / 3)),
                                   BLEND_ALPHA);
        const gpu::RECT picture{static_cast<int32_t>(640 - 200 * slide - 256), -16,
                                static_cast<int32_t>(640 - 200 * slide + 256), 496};
        s.arcadeStandTexture->Draw(&picture, 0.0f, &whole, WhiteAt(alpha), BLEND_ALPHA);
    }
    DrawWheel(0, 30.0f, 30.0f, SELECT_CHARACTER, decorationAngle);
    const gpu::RECT cell = NamePlateCell(ChosenCharacter(0));
    const gpu::RECT shadow{150 - 110, 430 - 30, 150 + 100, 430 + 40}, plate{150 - 105, 430 - 35, 150 + 105, 430 + 35};
    s.namePlateTexture->Draw(&shadow, 0.0f, &cell, BlackAt(static_cast<float>(AlphaByte(alpha) / 4)), BLEND_ALPHA);
    s.namePlateTexture->Draw(&plate, 0.0f, &cell, WhiteAt(alpha), BLEND_ALPHA);
    DrawDecideFlash(0);
    DrawWhiteFlash();
}

// The network select's strips of "select_face": "connecting" at the bottom
// right and "disconnected" across the middle.
void DrawConnectingStrip() {
    const gpu::RECT dest{475, 435, 625, 465}, cell = Rect(select_sheets::kConnectingStrip);
    selectScreen.faceTexture->Draw(&dest, 0.0f, &cell, 0xFFFFFFFF, BLEND_ALPHA);
}

void DrawDisconnectedStrip() {
    const gpu::RECT dest{200, 225, 440, 255}, cell = Rect(select_sheets::kDisconnectedStrip);
    selectScreen.faceTexture->Draw(&dest, 0.0f, &cell, 0xFFFFFFFF, BLEND_ALPHA);
}

// While connecting, a peer whose settings do not fit this machine's shows as
// "disconnected".
void DrawNetworkPictures(const SelectLook& look) {
    DrawSelectPictures(look);
    const bool connecting = selectScreen.state == SELECT_CONNECTING;
    if (connecting && !netPeerRefused) DrawConnectingStrip();
    if ((connecting && netPeerRefused) || (selectScreen.state > SELECT_CONNECTING && !netConnected)) {
        DrawDisconnectedStrip();
    }
}

// While the screen fades out into the match, over the fade.
void DrawNetworkOverTransition() {
    if (selectScreen.state == SELECT_DECIDED && netConnected) DrawConnectingStrip();
}

const SelectLook kOnePlayerLook{&onePlayerClock, true, SELECT_OPPONENT, false, DrawSelectPictures, nullptr};
const SelectLook kTwoPlayerLook{&twoPlayerClock, false, SELECT_CHARACTER, true, DrawSelectPictures, nullptr};
const SelectLook kArcadeLook{&arcadeClock, true, SELECT_CHARACTER, false, DrawArcadePictures, nullptr};
const SelectLook kNetworkLook{&networkClock, false, SELECT_CHARACTER, true, DrawNetworkPictures,
                              DrawNetworkOverTransition};

void DrawSelectScreen(const SelectLook& look) {
    // A frame the device cannot draw is still presented, which is where a
    // lost device is recovered.
    if (BeginScene()) {
        BeginScreenSkyFrame();
        if (!look.depthTest) SetRenderState(gpu::D3DRS_ZENABLE, 0);
        DrawScreenSky(selectSkyModel, look.clock->skyOffset);
        SetBlendMode(BLEND_ALPHA);
        SetRenderState(gpu::D3DRS_ZWRITEENABLE, 0);
        SetRenderState(gpu::D3DRS_FOGENABLE, 0);
        look.pictures(look);
        DrawTransition();
        if (look.overTransition) look.overTransition();
        EndScene();
    } else {
        // The screen moves on when its opening or closing transition runs
        // out, which must come on the same frame whether or not this machine
        // could draw: a network peer counts the same frames.
        AdvanceTransition();
    }
    PresentFrame();
}

}  // namespace

void ReleaseSelectPictures() {
    ReleaseResource(selectSkyModel);
    ReleaseResource(selectScreen.faceTexture);
    ReleaseResource(selectScreen.stageTexture);
    ReleaseResource(selectScreen.stageNameTexture);
    ReleaseResource(selectWheelTexture);
    ReleaseResource(selectWheelTexture2);
    ReleaseResource(selectScreen.namePlateTexture);
    ReleaseResource(selectScreen.arcadeStandTexture);
    for (Texture*& sheet : selectScreen.standSheets) ReleaseResource(sheet);
    selectScreen.standSheets.clear();
}

// Writes the confirmed choice into the two sides and the stage; the same
// character in the same colour on both sides plays in colours 0 and 1.
void ApplySelectChoice() {
    for (int side = 0; side < 2; ++side) {
        players[side].characterId = ChosenCharacter(side);
        players[side].colour = selectScreen.cursor[side] / SELECT_DECIDED_OFFSET - 1;
    }
    stageNumber = selectScreen.stageIds[static_cast<size_t>(selectScreen.stageCursor)];
    if (players[0].characterId == players[1].characterId && players[0].colour == players[1].colour) {
        players[0].colour = 0;
        players[1].colour = 1;
    }
}

std::vector<int32_t> ListSelectableCharacters() {
    return ListFlagged(systemData.characterUnlocked, 1, 8, 1, 6);
}

std::vector<int32_t> ListSelectableStages() { return ListFlagged(systemData.stageUnlocked, 0, 8, 1, 5); }

void LayOutSelectWheel() {
    const int32_t n = static_cast<int32_t>(selectScreen.characterIds.size());
    for (int side = 0; side < 2; ++side) {
        const int32_t c = selectScreen.cursor[side] % SELECT_DECIDED_OFFSET;
        for (int32_t k = 0; k <= 5; ++k) {
            selectScreen.wheelRing[side][k] = c + k >= n ? c + k - n : c + k;
            selectScreen.wheelRing[side][(12 - k) % 12] = c - k < 0 ? c - k + n : c - k;
        }
    }
}

namespace {

// The shared init: the sky, the pictures, the lists and both cursors from the
// remembered choice. The arcade select holds one stand picture instead of the
// stand sheets, and has no stage choice.
void InitSelectScreen(bool arcade) {
    SelectScreenState& s = selectScreen;
    s.leaveRequested = 0;
    s.state = SELECT_FADE_IN;
    s.whiteFlash = 1.0f;
    s.stageShow = 0.0f;
    SetFog(1200.0f, 1250.0f, 0xFFFFFFFF);
    selectSkyModel = CreateScreenSky();
    s.faceTexture = LoadPicture("select_face");
    s.stageTexture = LoadPicture("select_stage");
    s.stageNameTexture = LoadPicture("select_stagename");
    selectWheelTexture = LoadPicture("select_wheel");
    selectWheelTexture2 = LoadPicture("select_wheel2");
    s.namePlateTexture = LoadPicture("name_plate");
    if (!arcade) s.standSheets = {LoadPicture("select_stand"), LoadPicture("select_stand2"), LoadPicture("select_stand3")};
    s.characterIds = ListSelectableCharacters();
    for (int side = 0; side < 2; ++side) {
        s.wheelSpin[side] = 0.0f;
        inputWords[side] = 0;
        s.cursor[side] = IndexOf(s.characterIds, lastSelectedCharacters[side]);
        s.standSlide[side] = 0.0f;
        s.decideFlash[side] = 0.0f;
        s.wheelShow[side] = 0.0f;
    }
    LayOutSelectWheel();
    if (arcade) {
        LoadArcadeStandPicture();
    } else {
        s.stageIds = ListSelectableStages();
        const std::vector<int32_t> once = s.stageIds;
        s.stageIds.insert(s.stageIds.end(), once.begin(), once.end());
        s.stageCursor = WrapStageCursor(IndexOf(s.stageIds, lastSelectedStage));
    }
    PlayBgm(BGM_SELECT);
    StartTransition(TRANSITION_WIPE_14);
    sceneInitPending = 0;
}

void LeaveToTitle() { ChangeScene(SCENE_TITLE); }

// The frame of every select screen.
void RunSelectFrame(void (*init)(), void (*draw)(), void (*update)(), void (*leave)()) {
    if (sceneInitPending) init();
    ClearSePlayedFlags();
    UpdateBgm();
    draw();
    PollInput();
    update();
    if (selectScreen.leaveRequested) leave();
}

}  // namespace

void InitSelect() { InitSelectScreen(false); }
void InitArcadeSelect() { InitSelectScreen(true); }

void UpdateSelect() { RunSelectMachine(kOnePlayerMachine); }
void UpdateTwoPlayerSelect() { RunSelectMachine(kTwoPlayerMachine); }
void UpdateArcadeSelect() { RunSelectMachine(kArcadeMachine); }

void EaseSelectScreen() {
    SelectScreenState& s = selectScreen;
    const bool choosing = s.state == SELECT_CHARACTER || s.state == SELECT_OPPONENT;
    const bool hidden = s.state < SELECT_CHARACTER || s.state == SELECT_CANCELLED;
    for (int side = 0; side < 2; ++side) {
        EaseToZero(s.wheelSpin[side], 0.05f);
        if (s.decideFlash[side] > 0.0f) s.decideFlash[side] -= 0.03f;
        if (hidden) {
            if (s.standSlide[side] > 0.1f) s.standSlide[side] -= 0.075f;
            if (s.standSlide[side] < 0.0f) s.standSlide[side] = 0.0f;
        } else if (s.standSlide[side] < 1.05f) {
            s.standSlide[side] += 0.075f;
        }
        if (choosing) {
            if (s.wheelShow[side] < 1.0f) s.wheelShow[side] = std::min(1.0f, s.wheelShow[side] + 0.075f);
        } else if (s.wheelShow[side] > 0.0f) {
            s.wheelShow[side] = std::max(0.0f, s.wheelShow[side] - 0.075f);
        }
    }
    EaseToZero(s.stageSpin, 0.1f);
    if (s.whiteFlash > 0.0f) s.whiteFlash = std::max(0.0f, s.whiteFlash - 0.01f);
    s.stageShow = s.state == SELECT_STAGE ? std::min(1.0f, s.stageShow + 0.1f) : std::max(0.0f, s.stageShow - 0.1f);
}

void DrawSelect() { DrawSelectScreen(kOnePlayerLook); }
void DrawTwoPlayerSelect() { DrawSelectScreen(kTwoPlayerLook); }
void DrawArcadeSelect() { DrawSelectScreen(kArcadeLook); }
void DrawNetworkSelect() { DrawSelectScreen(kNetworkLook); }

void LeaveSelect() {
    ReleaseSelectPictures();
    if (selectScreen.state != SELECT_DECIDED) {
        LeaveToTitle();
        return;
    }
    ApplySelectChoice();
    replayPlayback = 0;
    lastSelectedCharacters[0] = players[0].characterId;
    lastSelectedCharacters[1] = players[1].characterId;
    lastSelectedStage = stageNumber;
    ChangeScene(SCENE_VERSUS);
}

// A decided arcade start: side 0's character in colour 0 against the first
// opponent of the ladder, on its stage, with no grades and no score yet.
void LeaveArcadeSelect() {
    ReleaseSelectPictures();
    if (selectScreen.state != SELECT_DECIDED) {
        LeaveToTitle();
        return;
    }
    players[0].characterId = ChosenCharacter(0);
    players[0].colour = 0;
    players[1].colour = 0;  // the ladder never pairs a character with itself
    StartArcadeRun();
    stageGrades.shrink_to_fit();
    lastSelectedCharacters[0] = players[0].characterId;
    replayPlayback = 0;
    ChangeScene(SCENE_VERSUS);
}

void RunSelectScene() { RunSelectFrame(InitSelect, DrawSelect, UpdateSelect, LeaveSelect); }
void RunTwoPlayerSelectScene() {
    RunSelectFrame(InitSelect, DrawTwoPlayerSelect, UpdateTwoPlayerSelect, LeaveSelect);
}
void RunArcadeSelectScene() {
    RunSelectFrame(InitArcadeSelect, DrawArcadeSelect, UpdateArcadeSelect, LeaveArcadeSelect);
}

void ResetSelectScreenState() {
    selectScreen = {};
    selectSkyModel = nullptr;
    selectWheelTexture = nullptr;
    selectWheelTexture2 = nullptr;
    lastSelectedCharacters[0] = 1;
    lastSelectedCharacters[1] = 2;
    lastSelectedStage = 1;
    for (SelectDrawClock* clock : {&onePlayerClock, &twoPlayerClock, &arcadeClock, &networkClock}) *clock = {};
}
