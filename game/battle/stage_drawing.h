#pragma once
// The 3-D scenery behind the battle, one recipe per stage.
#include <cstdint>

void DrawStage(int32_t stage);
