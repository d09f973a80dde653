#include "engine/models/xfile_loader.h"

// Not built yet: the loader lands with the X-file model work.
Model* CreateModelFromXFile(const char*, ProgressCallback) { return nullptr; }
