// Stand-ins for the graphics entry points until those
// layers are merged; each definition goes when its layer arrives.
#include "engine/core/engine_layers.h"

int InitializeDirectXGraphics() { return 1; }
void DestroyDirectXGraphics() {}
int InitCameraList() { return 1; }
void DestroyCameraList() {}

