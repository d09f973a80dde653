#pragma once
// Drawing one battle frame: the 3-D stage through a perspective camera, then
// the fighters, objects and overlays through the orthographic battle camera.

void DrawBattle();
void SetBattleView();
void UpdateBattleCamera();
