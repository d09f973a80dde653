#pragma once
// The title menu's replay list: the replay files of the folder "replay",
// five to a page, the file name and comment of the highlighted one on a text
// sheet, and the start of its playback as a battle.
#include <cstdint>
#include <string>
#include <vector>

#include "game/flow/replay_header.h"
#include "game/flow/run_state.h"

class Texture;

constexpr int REPLAY_LIST_MAX = 100;
constexpr int REPLAY_ROWS_PER_PAGE = 5;

// One entry per listed file, in listing order (sorted by name): its header,
// its bare name ("tobra003.rpl") and the path it is opened by (the replay
// folder's path, "/" and the name as found).
extern std::vector<ReplayHeader> replayHeaders;
extern std::vector<std::string> replayFileNames;
extern std::vector<std::string> replayPaths;

// The index of the replay started from the list (see replayListReturn).
extern int32_t playedReplayIndex;

// The 256 x 256 text sheet of the highlighted entry (created by the title).
extern Texture* commentSheet;
// Empties the list and clears the values above, as at program start; the
// sheet is forgotten, not released (the texture list frees it).
void ResetReplayListState();

// Rebuilds the list from the regular files named "*.rpl" (any case) in the
// folder "replay": sorted by name, at most REPLAY_LIST_MAX, each with a full
// header holding REPLAY_FORMAT_ID. A file that cannot be opened ends the scan.
void ScanReplays();

// Draws the highlighted entry's file name and comment on commentSheet.
void RenderReplayComment();

// The list entry under the cursor.
int32_t HighlightedReplayIndex();

// The title's TITLE_REPLAY_LIST and TITLE_NO_REPLAYS handlers.
void UpdateReplayList();
void UpdateNoReplays();

// InitTitle's reopening after a playback: the list on the played entry
// (clamped to the list as it is now), or the no-replays notice when the list
// is empty. Clears replayListReturn.
void ReopenReplayList();

// LeaveTitle's start of playback of the highlighted entry: the match from its
// header, then the battle. False, with the title kept (SE_ERROR, the list
// reopened near the entry), when the file cannot be read.
bool StartReplayPlayback();

// The list page and comment sheet, or the no-replays notice.
void DrawReplayList();
