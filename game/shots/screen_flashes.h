#pragma once
// The battle's full-screen overlays: the white flash of big attacks and the
// announcement banner (start, knock-out, time up).
#include <cstdint>

extern int32_t bannerTimer;

void DrawScreenFlashes();
void StartBanner(int32_t kind);
void DrawBanner();
