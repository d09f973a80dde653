#pragma once
#include <cstdint>

#include "engine/devices/media_command_queue.h"
#include "platform/media_stubs.h"

// DirectMusic: a command layer whose thread owns the DirectMusic loader and
// performance. Its objects' classes are not part of the engine; the layer
// offers the thread, the DirectMusic objects and the command dispatch.

// Codes: 0 the first operation with the argument block; 1 Release; 2 the
// second with the first argument word; 3 the third; 4 the fifth; 5, 6 the
// sixth and seventh with the word; 7 the eighth; 8 the ninth with the word;
// 9 to 15 the tenth to sixteenth; 16 quits; above 16 nothing.
constexpr uint32_t MUSIC_CMD_QUIT = 16;

extern MediaCommandLayer directMusicLayer;
extern platform::DirectMusicLoader* musicLoader;
extern platform::DirectMusicPerformance* musicPerformance;
extern platform::DirectMusicObject* directMusic;  // made by the performance's InitAudio

// Logs its banner and starts the layer's thread, which creates the
// DirectMusic objects before it serves; returns 1 whether or not they exist.
int InitializeDirectMusic();
// Logs its banner and ends the thread, which releases its objects and then
// the DirectMusic objects.
void DestroyDirectMusic();
void PostMusicCommand(const MediaCommand* command);

// On the layer's thread: the loader, the performance and its audio set-up,
// each failure logged (and the missing classes shown in the error box);
// returns 1 when all three succeeded.
int CreateDirectMusic();
void ReleaseDirectMusic();
