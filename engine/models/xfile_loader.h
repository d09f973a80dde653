#pragma once
// Loading a Model from an X-format model file.
#include "engine/core/resource.h"

class Model;

// Builds a Model from the X file `name` (a game path). Always returns the new
// Model, also when the file cannot be read (it then holds its root frame only).
Model* CreateModelFromXFile(const char* name, ProgressCallback progress);
