#pragma once
// Small drawing and input helpers shared by the title menu and its replay
// list.
#include <cstdint>

#include "game/flow/input_words.h"
#include "game/screens/title_sheets.h"

class Texture;

// True on the frame in which side 0's button goes down.
inline bool Pressed(ButtonSlot slot) { return buttonStates[0][slot] == BUTTON_STATE_PRESSED; }

// An alpha of 0..1 as a colour level 0..255.
int AlphaLevel(float alpha);

// The source cell of a sheet stretched over dest, white multiplied by
// alpha (0..255), alpha-blended. A null sheet draws nothing.
void DrawSheetCell(Texture* sheet, const title_sheets::Cell& dest, const title_sheets::Cell& source, int alpha);

// A plain bar in colour (0xAARRGGBB): the white cell of the transition
// sprite, tinted.
void FillBar(const title_sheets::Cell& dest, uint32_t colour);
