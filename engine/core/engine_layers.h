#pragma once
#include <cstdint>

#include "engine/core/aux_window.h"        // CloseAuxWindow
#include "engine/core/dormant_managers.h"  // the managers this game leaves empty
#include "engine/core/math.h"              // InitializeMathTables
#include "engine/core/text_input.h"        // InitTextInput, AddTypedChar
#include "engine/core/worker_threads.h"    // the thread table of the thread mode
#include "engine/devices/input.h"          // InitializeInput, ShutdownInput and the mouse
#include "engine/devices/media_directmusic.h"
#include "engine/devices/media_directplay.h"
#include "engine/devices/media_directshow.h"
#include "engine/devices/media_mci.h"
#include "engine/devices/media_stream.h"

// Start and stop entry points of the engine's layers, in the groups that the
// start-up flags switch on, as the application core calls them.

// Graphics device and its resource lists.
int InitializeDirectXGraphics();
void DestroyDirectXGraphics();
int InitCameraList();
void DestroyCameraList();
int InitializeVertexShaders();
void DestroyVertexShaders();
int InitTextureList();
void DestroyTextureList();
int InitializeModels();
void DestroyModels();
int InitSurfaceList();
void DestroySurfaceList();
int InitFontList();
void DestroyFontList();

// Sound.
int InitializeSound();
void DestroySound();
