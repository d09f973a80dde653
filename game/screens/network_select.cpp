#include "game/screens/network_select.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "engine/devices/network.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/flow/input_words.h"
#include "game/flow/net_exchange.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"
#include "game/screens/select_screen.h"

namespace {

// Every character is listed; a locked one can be turned to but not decided
// by this machine's player.
const std::vector<int32_t> kNetworkCharacters = {1, 2, 3, 4, 5, 6, 7, 8};
// The nine stages twice, in their ring order; the cursor starts on the
// second copy's stage 0.
const std::vector<int32_t> kNetworkStages = {0, 1, 2, 3, 4, 5, 6, 8, 7, 0, 1, 2, 3, 4, 5, 6, 8, 7};
constexpr int32_t kFirstStageCursor = 9;

bool Pressed(int side, int slot) { return buttonStates[side][slot] == BUTTON_STATE_PRESSED; }
bool Choosing(int side) { return selectScreen.cursor[side] < SELECT_DECIDED_OFFSET; }

bool Listed(const std::vector<int32_t>& ids, int32_t id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }
bool CharacterUnlocked(int32_t index) {
    return Listed(ListSelectableCharacters(), selectScreen.characterIds[static_cast<size_t>(index)]);
}
bool StageUnlocked(int32_t stageCursor) {
    return Listed(ListSelectableStages(), selectScreen.stageIds[static_cast<size_t>(stageCursor)]);
}

// While connected this machine's words were checked when they were sent, as
// the peer takes them; a second check on applying them could only tell the
// two machines apart (the peer may turn the stage ring in the same period).
// Without a connection both sides' words come from this machine's pads.
bool LocalDecisionRefused(int side, bool unlocked) { return !netConnected && side == netLocalSide && !unlocked; }

// Whether this machine's word, following `previous`, would decide what is
// locked here, with the word's own turn applied first as the update applies
// it. A button counts only where the word of the period before did not hold
// it, as the button states will tell it.
bool LocalDecideLocked(InputWord word, InputWord previous) {
    const auto pressed = [word, previous](InputWord bit) { return (word & bit) != 0 && (previous & bit) == 0; };
    if (!pressed(INPUT_Z)) return false;
    switch (selectScreen.state) {
    case SELECT_CHARACTER: {
        const int side = netLocalSide;
        if (!Choosing(side)) return false;
        // Side 1's wheel turns the other way round.
        const InputWord forward = side == 0 ? INPUT_LEFT : INPUT_RIGHT;
        const InputWord backward = side == 0 ? INPUT_RIGHT : INPUT_LEFT;
        int32_t cursor = selectScreen.cursor[side];
        if (pressed(forward)) cursor = SelectCursorMoved(cursor, +1);
        if (pressed(backward)) cursor = SelectCursorMoved(cursor, -1);
        return !CharacterUnlocked(cursor);
    }
    case SELECT_STAGE: {
        if (pressed(INPUT_X)) return false;  // takes the characters back first
        int32_t cursor = selectScreen.stageCursor;
        if (pressed(INPUT_RIGHT)) cursor = StageCursorMoved(cursor, +1);
        if (pressed(INPUT_LEFT)) cursor = StageCursorMoved(cursor, -1);
        return !StageUnlocked(cursor);
    }
    default: return false;
    }
}

// Two extended machines count every button as held from the connection on,
// so a key held at that moment is a new press on neither: it counts once it
// has been let go and pressed again, on both machines alike. A plain peer's
// screen starts from words of 0, and so does this one's then.
void StartButtonsAtConnection() {
    for (int side = 0; side < 2; ++side) {
        inputWords[side] = netPeerExtended ? INPUT_ALL_BUTTONS : 0;
        std::fill(std::begin(buttonStates[side]), std::end(buttonStates[side]),
                  netPeerExtended ? BUTTON_STATE_HELD : BUTTON_STATE_UP);
    }
}

// The lists' cursors as the screen opens them.
void PlaceFirstCursors() {
    for (int side = 0; side < 2; ++side) selectScreen.cursor[side] = side;
    selectScreen.stageCursor = kFirstStageCursor;
    LayOutSelectWheel();
}

// The peer's game has started anew and looks for this side: both screens
// begin the match again from the connect step. A screen that had decided
// the match leaves for the title instead, as after any lost connection, and
// the peer waits for it there.
void ReconnectRestartedPeer() {
    if (selectScreen.state == SELECT_DECIDED || selectScreen.state == SELECT_CANCELLED) return;
    selectScreen.state = SELECT_CONNECTING;
    PlaceFirstCursors();
}

// A peer whose settings do not fit this machine's is not connected to; the
// screen shows "disconnected" while it keeps looking (the peer, told the same
// by this side's connect packets, does the same).
void UpdateConnecting() {
    if (PollNetConnect() == NetConnect::CONNECTED) {
        selectScreen.state = SELECT_CHARACTER;
        selectScreen.netFrameCounter = 1;
        StartButtonsAtConnection();
        PlaySe(SE_DECIDE);
        return;
    }
    // Once connected the peer counts on this side's words: no cancel then.
    if (Pressed(0, BUTTON_X)) CancelSelectScreen();
}

// Each side's own wheel; side 1's turns the other way round. A side decides
// in colour 0 only.
void UpdateNetworkCharacters() {
    if (Choosing(0) && Pressed(0, BUTTON_LEFT)) MoveSelectCursor(0, +1);
    if (Choosing(0) && Pressed(0, BUTTON_RIGHT)) MoveSelectCursor(0, -1);
    if (Choosing(1) && Pressed(1, BUTTON_RIGHT)) MoveSelectCursor(1, +1);
    if (Choosing(1) && Pressed(1, BUTTON_LEFT)) MoveSelectCursor(1, -1);
    for (int side = 0; side < 2; ++side) {
        if (!Choosing(side) || !Pressed(side, BUTTON_Z)) continue;
        // The peer's decision was checked on its own machine.
        if (LocalDecisionRefused(side, CharacterUnlocked(selectScreen.cursor[side]))) {
            PlaySe(SE_ERROR);
            continue;
        }
        selectScreen.cursor[side] += SELECT_DECIDED_OFFSET;
        selectScreen.decideFlash[side] = 1.0f;
        PlaySe(SE_DECIDE);
    }
    for (int side = 0; side < 2; ++side) {
        if (!Pressed(side, BUTTON_X)) continue;
        if (Choosing(side)) CancelSelectScreen();  // either player may leave while undecided
        else UndecideSelectSide(side);
    }
    if (!Choosing(0) && !Choosing(1)) selectScreen.state = SELECT_STAGE;
    LayOutSelectWheel();
}

// Either side steers the ring and decides; only this machine's player is held
// to this machine's unlocks.
void UpdateNetworkStage() {
    if (TurnStageRingOrTakeBack()) return;
    const bool unlocked = StageUnlocked(selectScreen.stageCursor);
    for (int side = 0; side < 2; ++side) {
        if (!Pressed(side, BUTTON_Z) || LocalDecisionRefused(side, unlocked)) continue;
        DecideSelectStage();
        return;
    }
}

// The exchange of the words of one frame: this machine's word goes out on the
// first frame of a period, and both words are applied together on its last.
// Without a connection both sides come from this machine's pads; once the
// peer has left for the battle nothing is exchanged.
void SendLocalInput() {
    if (!netConnected) {
        PollInput();
        return;
    }
    if (netSelectPeerLeft) return;
    if (selectScreen.netFrameCounter % static_cast<int32_t>(netSendInterval) == 0 &&
        SendSelectInput(LocalDecideLocked)) {
        PlaySe(SE_ERROR);
    }
}

// The counter starts at 1 on connection, so with an interval of 3 the first
// receiving frame comes before any word was sent: there is nothing to wait for.
// Once the match is decided here, the peer's start packet tells that it has
// left for the battle with the same match.
void ReceivePeerInput() {
    if (!netConnected) return;
    const auto interval = static_cast<int32_t>(netSendInterval);
    const int32_t counter = selectScreen.netFrameCounter;
    if (counter % interval == interval - 1 && counter >= interval && !netSelectPeerLeft) {
        ReceiveSelectInput(selectScreen.state == SELECT_DECIDED);
        if (netSelectPeerRestarted) ReconnectRestartedPeer();
    }
    for (int side = 0; side < 2; ++side) UpdateButtonStates(&inputWords[side], buttonStates[side]);
}

}  // namespace

void InitNetworkSelect() {
    InitSelect();
    SelectScreenState& s = selectScreen;
    s.netFrameCounter = 0;
    s.characterIds = kNetworkCharacters;
    s.stageIds = kNetworkStages;
    PlaceFirstCursors();
    NetOpen();
}

void UpdateNetworkSelect() {
    switch (selectScreen.state) {
    case SELECT_FADE_IN:
        if (!transitionRunning) selectScreen.state = SELECT_CONNECTING;
        break;
    case SELECT_CONNECTING: UpdateConnecting(); break;
    case SELECT_CHARACTER: UpdateNetworkCharacters(); break;
    case SELECT_STAGE: UpdateNetworkStage(); break;
    case SELECT_DECIDED:
    case SELECT_CANCELLED:
        if (!transitionRunning) selectScreen.leaveRequested = 1;
        break;
    default: break;
    }
    EaseSelectScreen();
}

// A match goes on with the socket open. A cancel, and a choice made after the
// connection was lost (no peer would meet this side in the battle), go back
// to the title menu and close it.
void LeaveNetworkSelect() {
    ReleaseSelectPictures();
    if (selectScreen.state != SELECT_DECIDED || !netConnected) {
        NetClose();
        ChangeScene(SCENE_TITLE);
        return;
    }
    ApplySelectChoice();
    replayPlayback = 0;
    ChangeScene(SCENE_VERSUS);
}

void RunNetworkSelectScene() {
    if (sceneInitPending) InitNetworkSelect();
    ClearSePlayedFlags();
    UpdateBgm();
    SendLocalInput();
    DrawNetworkSelect();
    ReceivePeerInput();
    UpdateNetworkSelect();
    if (selectScreen.leaveRequested) LeaveNetworkSelect();
    ++selectScreen.netFrameCounter;
}
