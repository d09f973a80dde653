#include "game/shots/screen_flashes.h"

int32_t bannerTimer;

// Not built yet: the overlays land with the battle scene work.
void DrawScreenFlashes() {}
void StartBanner(int32_t) {}
void DrawBanner() {}
