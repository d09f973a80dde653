#pragma once
// The select screens. The one-player select (Practice and against the
// computer): side 0's buttons choose side 0's character and colour, then
// side 1's, then the stage. The two-player select: both sides choose at once
// with their own buttons, then either chooses the stage. The arcade select:
// side 0 chooses its character alone and the arcade ladder brings the rest.
// The network select (network_select.h): like the two-player select, each
// machine's player on one side. All lead on to the versus screen; they share
// the record, the wheel lay-out, the easing, the init, the leave and the
// drawing.
#include <cstdint>
#include <vector>

class Model;
class Texture;

enum SelectState : int32_t {
    SELECT_FADE_IN = 5,      // waits for the opening transition
    SELECT_CONNECTING = 9,   // the network select looks for its peer
    SELECT_CHARACTER = 10,   // side 0 chooses
    SELECT_OPPONENT = 20,    // side 1's character, chosen with side 0's buttons
    SELECT_STAGE = 30,
    SELECT_DECIDED = 90,     // waits for the fade-out, then leaves
    SELECT_CANCELLED = 91,   // waits for the transition, then leaves
};

// A decided cursor holds its index plus 100 (colour 0) or 200 (colour 1).
constexpr int32_t SELECT_DECIDED_OFFSET = 100;
// Positions of a character wheel.
constexpr int SELECT_WHEEL_POSITIONS = 12;

struct SelectScreenState {
    int32_t state = 0;
    uint8_t leaveRequested = 0;
    int32_t netFrameCounter = 0;
    float decideFlash[2] = {};  // 1.0 when a side decides, then fades
    float wheelSpin[2] = {};    // +-pi/6 when a cursor moves, eases to 0
    float standSlide[2] = {};   // slides the stand picture in
    float wheelShow[2] = {};    // 0..1: how far wheel, band and plate came in
    float stageSpin = 0;        // +-1 when the stage cursor moves
    float whiteFlash = 0;
    float stageShow = 0;
    int32_t cursor[2] = {};
    int32_t wheelRing[2][SELECT_WHEEL_POSITIONS] = {};  // characterIds indices
    std::vector<int32_t> characterIds;                  // selectable, ascending
    std::vector<int32_t> stageIds;                      // selectable, listed twice
    int32_t stageCursor = 0;
    Texture* faceTexture = nullptr;
    Texture* arcadeStandTexture = nullptr;
    Texture* stageTexture = nullptr;
    Texture* stageNameTexture = nullptr;
    Texture* namePlateTexture = nullptr;
    std::vector<Texture*> standSheets;
};

extern SelectScreenState selectScreen;
// The select screens' remembered characters (side 0, side 1) and stage.
extern int32_t lastSelectedCharacters[2];
extern int32_t lastSelectedStage;
// The remembered menu positions as they are at program start.
void ResetFrontEndPositions();
extern Model* selectSkyModel;
// Puts the select screens' state back as it is at program start, the
// remembered choices included; their pictures and model are forgotten, not
// released (the device lists free them).
void ResetSelectScreenState();

void RunSelectScene();
void InitSelect();
void UpdateSelect();
void DrawSelect();
void LeaveSelect();

// The two-player select: InitSelect and LeaveSelect with its own update and
// picture.
void RunTwoPlayerSelectScene();
void UpdateTwoPlayerSelect();
void DrawTwoPlayerSelect();

void RunArcadeSelectScene();
void InitArcadeSelect();
void UpdateArcadeSelect();
void DrawArcadeSelect();
void LeaveArcadeSelect();
// The two-player picture with the network select's strips.
void DrawNetworkSelect();

// The choosing steps every select screen is made of. A cursor move by one
// (+1 or -1, wrapping) turns the side's wheel the same way; a side that takes
// its decision back, a cancel of the whole screen, a stage cursor move and the
// stage decision play their sounds and start their transitions.
void MoveSelectCursor(int side, int32_t step);
// Where a choosing cursor (+1 or -1) and the stage cursor (by step) would
// move to, wrapping as the moves above do.
int32_t SelectCursorMoved(int32_t cursor, int32_t step);
int32_t StageCursorMoved(int32_t cursor, int32_t step);
void UndecideSelectSide(int side);
void CancelSelectScreen();
void MoveSelectStageCursor(int32_t step);
void DecideSelectStage();
// The two-player stage ring: either side turns it, and X of either side takes
// both characters back; true then, and the frame's stage choice ends.
bool TurnStageRingOrTakeBack();
// Releases the pictures, the sky and the stand sheets of a select screen.
void ReleaseSelectPictures();
// Writes the confirmed choice into both sides and the stage; the same
// character in the same colour on both sides plays in colours 0 and 1.
void ApplySelectChoice();
// Fills both sides' wheelRing from their cursor and characterIds.
void LayOutSelectWheel();
// The per-frame easing of the animation values that ends every select
// screen's update.
void EaseSelectScreen();

// The selectable characters (ids 1..8 unlocked in systemData, and always the
// six defaults) and stages (0..8, and always 1..5), ascending.
std::vector<int32_t> ListSelectableCharacters();
std::vector<int32_t> ListSelectableStages();
