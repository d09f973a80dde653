#pragma once
#include "engine/core/resource.h"
#include "platform/media_stubs.h"

// MediaStream: the DirectDraw object that media streams draw through, and
// the list of the layer's objects (none made by this engine).

extern platform::DirectDraw* mediaStreamDirectDraw;
extern ResourceList mediaStreamList;

// Logs its banner and creates, initialises (emulation only) and sets up the
// DirectDraw object; 1 on success, 0 when a step fails (logged).
int InitializeMediaStream();
// Logs its banner, releases the DirectDraw object and every listed object.
void DestroyMediaStream();
