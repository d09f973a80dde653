#pragma once
#include <cstdint>

#include "engine/devices/media_command_queue.h"
#include "platform/media_stubs.h"

// DirectShow audio: a command layer whose objects play through a DirectShow
// filter graph. No class of the engine makes such an object; the layer only
// offers the thread, the command dispatch and the end-of-play handling.

// A DirectShow audio object: its graph, whether it plays and loops, and the
// position a finished play seeks back to.
class DirectShowObject : public MediaObject {
public:
    platform::MediaGraph* graph = nullptr;
    int active = 0;
    int loops = 0;
    int64_t startPosition = 0;
};

// Codes: 0 the first operation with the argument block (a name); 1 Release;
// 2 the second with the first argument word; 4 the third; 5 the fifth; 6, 7,
// 8 the sixth to eighth with the word; 9 quits; 3 and above 9 do nothing.
constexpr uint32_t DIRECTSHOW_CMD_QUIT = 9;

extern MediaCommandLayer directShowLayer;

// Logs its banner and starts the layer's thread; returns 1.
int InitializeDirectShow();
// Logs its banner and ends the thread (releasing the layer's objects).
void DestroyDirectShow();
void PostDirectShowCommand(const MediaCommand* command);
// WM_USER + 1: every active object's pending graph events are taken; a
// finished play seeks back to its start and runs again when the object
// loops, else calls the object's third operation. Nothing while the layer
// is not running.
void HandleDirectShowEvent();
