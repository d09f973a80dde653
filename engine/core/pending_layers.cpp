// Stand-ins for the graphics and sound entry points until those
// layers are merged; each definition goes when its layer arrives.
#include "engine/core/engine_layers.h"

int InitializeDirectXGraphics() { return 1; }
void DestroyDirectXGraphics() {}
int InitCameraList() { return 1; }
void DestroyCameraList() {}

int InitializeSound() { return 1; }
void DestroySound() {}
