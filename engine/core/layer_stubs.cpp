// Entry points of engine layers that the start-up and shut-down call but that
// are not built yet: each starts successfully and has nothing to stop.
#include "engine/core/engine_layers.h"

int InitializeVertexShaders() { return 1; }
void DestroyVertexShaders() {}
int InitTextureList() { return 1; }
void DestroyTextureList() {}
int InitializeModels() { return 1; }
void DestroyModels() {}
int InitSurfaceList() { return 1; }
void DestroySurfaceList() {}
int InitFontList() { return 1; }
void DestroyFontList() {}

int InitSpriteManager() { return 1; }
void DestroySpriteManager() {}
int InitSceneManager() { return 1; }
void DestroySceneManager() {}
int InitListSpriteManager() { return 1; }
void DestroyListSpriteManager() {}
int InitFontSpriteManager() { return 1; }
void DestroyFontSpriteManager() {}
int InitFontFxManager() { return 1; }
void DestroyFontFxManager() {}
int InitSheetManager() { return 1; }
void DestroySheetManager() {}
int InitPrimitiveManager2() { return 1; }
void DestroyPrimitiveManager2() {}
int InitPrimitiveManager() { return 1; }
void DestroyPrimitiveManager() {}
int InitPerticleManager() { return 1; }
void DestroyPerticleManager() {}

int InitTextInput() { return 1; }
void ShutdownTextInput() {}
void AddTypedChar(unsigned) {}
int InitThreadTable() { return 1; }
void DestroyThreadTable() {}
void SuspendWorkerThreads() {}
void ResumeWorkerThreads() {}
void CloseAuxWindow() {}

int InitializeDirectMusic() { return 1; }
void DestroyDirectMusic() {}
int InitializeDirectShow() { return 1; }
void DestroyDirectShow() {}
int InitializeDirectPlay() { return 1; }
void DestroyDirectPlay() {}
int InitializeMediaStream() { return 1; }
void DestroyMediaStream() {}
int InitializeMci() { return 1; }
void DestroyMci() {}
void HandleMciNotify() {}
void HandleDirectShowEvent() {}
