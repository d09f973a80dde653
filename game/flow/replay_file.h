#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/flow/input_words.h"
#include "game/flow/replay_header.h"
#include "platform/local_time.h"

// Replays: every battle records both sides' final InputWords frame by frame;
// the result screen saves the recording with its header in the folder
// "replay", and a saved file is read back and played as an ordinary battle
// whose input comes from the file. A battle depends only on its inputs and on
// the generator seeded from the header, so the replayed match is the recorded
// one.

// Room for a path from MakeReplayFileName ("replay\\tobra000.rpl").
inline constexpr size_t REPLAY_FILE_NAME_SIZE = 32;
// The most names MakeReplayFileName tries: tobra000 to tobra998.
inline constexpr int REPLAY_FILE_NAME_COUNT = 999;

// The header of the battle being recorded, or of the replay read for playback.
extern ReplayHeader replayHeader;
// The recorded words of side 0 and side 1; index = battle frame.
extern std::vector<InputWord> replayInputs[2];
// 1 while a replay file is played back.
extern int32_t replayPlayback;
// Where the next save goes, chosen when a battle ends; empty when every name
// is taken.
extern char replayFileName[REPLAY_FILE_NAME_SIZE];
// Puts the replay state back as it is at program start, the clock of the
// saved dates included.
void ResetReplayFileState();

// The match a battle is recorded with (filled by the battle start from the
// PlayerRecords, stageNumber, gameMode, difficulty, its seed and
// config.noTimeLimit) or played back as.
struct ReplayMatch {
    int32_t p1CharacterId = 0;
    int32_t p2CharacterId = 0;
    int32_t p1Colour = 0;
    int32_t p2Colour = 0;
    int32_t stageNumber = 0;
    int32_t gameMode = 0;
    int32_t difficulty = 0;
    int32_t randomSeed = 0;
    uint8_t noTimeLimit = 0;
};

// What the saved header takes from the battle's end: winnerSide and the
// winner's bestComboDamage and bestComboHits.
struct ReplayOutcome {
    int32_t winnerSide = 0;
    int32_t bestComboDamage = 0;
    int32_t bestComboHits = 0;
};

// Battle start outside playback: a zeroed header with the match's fields (the
// time-limit flag in the header's first reserved byte) and empty lists.
void StartReplayRecording(const ReplayMatch& match);

// One side's final word of an unpaused frame, before the countdown masks.
void RecordReplayInput(int side, InputWord word);

// The recorded word of a side for a battle frame; 0 beyond the recording.
InputWord PlaybackReplayInput(int side, int32_t battleFrame);

// The match to play from replayHeader: a network match plays as two players
// on one machine, with the network's time limit whatever its recorder's
// setting.
ReplayMatch GetPlaybackMatch();

// Writes the first path from "replay\\tobra000.rpl" to "replay\\tobra998.rpl"
// under which nothing exists (letter case ignored) into out. False, and out
// empty, when all of them exist.
bool MakeReplayFileName(char (&out)[REPLAY_FILE_NAME_SIZE]);
// Whether a bare file name is one MakeReplayFileName gives ("tobra000.rpl"
// to "tobra998.rpl").
bool IsMadeReplayFileName(std::string_view name);

// Saves replayHeader and replayInputs under replayFileName: fills the outcome,
// the default comment, the version text, the format id and the date of saving
// into the header, then writes the header and one ReplayFrame per frame of the
// shorter list, creating the folder "replay" when missing. True when the whole
// file was written; false during playback, without a name, or when the file
// cannot be created or written (a partial file is removed).
bool WriteReplayFile(const ReplayOutcome& outcome);

// Loads a replay into replayHeader and replayInputs (a trailing partial frame
// is dropped): 0, or -1 with the header zeroed and the lists empty when the
// file cannot be read, is shorter than a header, or names a character,
// colour, stage, mode or difficulty out of range. The caller sets the two
// sides and the stage from the header.
int ReadReplayFile(const char* path);
// The same for a file named by a path as it stands on this system, with no
// Windows separators or case to resolve (a name found in a folder).
int ReadReplayFileAt(const std::string& filePath);

// The date of saving as single digits: the year's four, then the month, day,
// hour and minute as tens and units, a tens digit below 10 DATE_DIGIT_BLANK.
void FillDateDigits(const platform::LocalTime& time, uint8_t (&digits)[REPLAY_DATE_DIGITS]);

// The clock WriteReplayFile reads; platform::GetLocalTime unless replaced.
// Null restores it.
using LocalTimeSource = platform::LocalTime (*)();
void SetLocalTimeSource(LocalTimeSource source);
