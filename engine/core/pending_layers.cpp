// Stand-ins for the graphics, input, sound and math entry points until those
// layers are merged; each definition goes when its layer arrives.
#include "engine/core/engine_layers.h"

int InitializeDirectXGraphics() { return 1; }
void DestroyDirectXGraphics() {}
int InitCameraList() { return 1; }
void DestroyCameraList() {}

int InitializeInput() { return 1; }
void ShutdownInput() {}
void AddMouseWheel(int16_t) {}
void LatchLeftDoubleClick() {}
void LatchRightDoubleClick() {}
void LatchMiddleDoubleClick() {}

int InitializeSound() { return 1; }
void DestroySound() {}

void InitializeMathTables() {}
