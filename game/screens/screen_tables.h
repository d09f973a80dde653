#pragma once
// Text tables of the screens around a battle, by CharacterId.
#include <cstdint>

constexpr int STAND_PICTURE_KEYS = 20;
constexpr int CONCLUSION_LINES_PER_CHARACTER = 10;
constexpr int CONCLUSION_LINE_SIZE = 100;

// The "gf\\system.dat" key of each character's 512 x 512 stand picture:
// ids 1 to 8, entry 0 repeating entry 1, the rest empty.
extern const char standPictureKeys[STAND_PICTURE_KEYS][100];

// The winner's closing line k of character c (CP932). Ids 0 and above 8 and
// unused lines are empty.
extern const char conclusionLines[9][CONCLUSION_LINES_PER_CHARACTER][CONCLUSION_LINE_SIZE];

// The stand picture key of an id; empty outside the table.
const char* StandPictureKey(int32_t characterId);
// The line of a character; empty outside the table.
const char* ConclusionLine(int32_t characterId, int32_t line);
