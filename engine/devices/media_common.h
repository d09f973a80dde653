#pragma once
#include <cstdint>

#include "engine/core/log.h"

// Helpers shared by the media layers.

// A COM class that could not be created: logs errorLine and the request to
// install DirectX 8.1, and shows the "Error" box of the given type; returns 0.
int ReportMissingClass(const char* errorLine, unsigned boxType);

// Releases *object when set and logs `line` (a format with one %u) with the
// references left; *object is cleared.
template <typename Interface>
void ReleaseLogged(Interface*& object, const char* line) {
    if (!object) return;
    const uint32_t left = object->Release();
    object = nullptr;
    WriteLog(line, left);
}
