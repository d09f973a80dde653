#pragma once
#include <cstdint>

#include "engine/core/math.h"       // InitializeMathTables
#include "engine/devices/input.h"   // InitializeInput, ShutdownInput and the mouse

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

// Resource managers that this game leaves empty.
int InitSpriteManager();
void DestroySpriteManager();
int InitSceneManager();
void DestroySceneManager();
int InitListSpriteManager();
void DestroyListSpriteManager();
int InitFontSpriteManager();
void DestroyFontSpriteManager();
int InitFontFxManager();
void DestroyFontFxManager();
int InitSheetManager();
void DestroySheetManager();
int InitPrimitiveManager2();
void DestroyPrimitiveManager2();
int InitPrimitiveManager();
void DestroyPrimitiveManager();
int InitPerticleManager();
void DestroyPerticleManager();

// Typed text, the worker-thread table and the auxiliary window.
int InitTextInput();
void ShutdownTextInput();
void AddTypedChar(unsigned ch);
int InitThreadTable();
void DestroyThreadTable();
void SuspendWorkerThreads();
void ResumeWorkerThreads();
void CloseAuxWindow();

// Sound.
int InitializeSound();
void DestroySound();

// Media layers that this game never switches on.
int InitializeDirectMusic();
void DestroyDirectMusic();
int InitializeDirectShow();
void DestroyDirectShow();
int InitializeDirectPlay();
void DestroyDirectPlay();
int InitializeMediaStream();
void DestroyMediaStream();
int InitializeMci();
void DestroyMci();
void HandleMciNotify();
void HandleDirectShowEvent();
