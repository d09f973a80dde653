#pragma once
// The computer player: the InputWord of the side the computer plays, made
// once per battle frame from both PlayerRecords and the difficulty. It keeps
// no memory beyond its two random base words and draws all its randomness
// from the game's one generator, so the number and order of its draws are
// part of every replay.
#include <cstdint>

#include "game/flow/input_words.h"

// The random base words, one per generator: shared by both sides (only one
// side is ever played by the computer), kept between frames and battles, and
// changed only by their own generator.
extern InputWord cpuRandomWordA;
extern InputWord cpuRandomWordB;
// Clears both base words, as at program start.
void ResetComputerPlayerState();

// The side's word for the frame: the routine of its characterId (1..8) at a
// difficulty above 0; the plain random base A at difficulty 0 or for any
// other characterId.
void GenerateCpuInput(InputWord* word, int32_t side);

// ORs the arrows toward the opponent into the word, one per axis on which the
// two positions differ; bits already set stay set.
void AimCpuAtOpponent(InputWord* word, int32_t side);

// The random base words: every tenth counter tick a new random word (mostly
// without C), A added in part of a window of the counter, the buttons other
// than V cleared in another, and often nothing at all while knocked back.
void GenerateRandomCpuInputA(InputWord* word, int32_t side);
void GenerateRandomCpuInputB(InputWord* word, int32_t side);

// The per-character routines: the random base word, an aim window, the
// character's own rules, the hyper window and the burst out of a long combo.
void GenerateCpuInputKirune(InputWord* word, int32_t side);
void GenerateCpuInputBemo(InputWord* word, int32_t side);
void GenerateCpuInputOza(InputWord* word, int32_t side);
void GenerateCpuInputPerila(InputWord* word, int32_t side);
void GenerateCpuInputRuo(InputWord* word, int32_t side);
void GenerateCpuInputTorvi(InputWord* word, int32_t side);
void GenerateCpuInputNebu(InputWord* word, int32_t side);
void GenerateCpuInputWelo(InputWord* word, int32_t side);
