// The start-up console: status lines painted on the window while the engine's
// layers start. They are painted with the engine's Font into the back buffer
// and presented, so they show once the graphics device exists: the lines
// written before it are painted with the first paint after it.
#include <cstring>

#include "engine/core/cp932_text.h"
#include "engine/graphics/device.h"
#include "engine/graphics/font.h"
#include "platform/glyphs.h"
#include "engine/startup/engine_main.h"

char startupLines[kStartupLineCount][kStartupLineSize];
int8_t startupLineCount = 0;

namespace {

constexpr int kConsoleFontHeight = 15;
constexpr int kConsoleLeft = 20, kConsoleTop = 15, kConsoleLineStep = 20;
// Each line is outlined: drawn at the eight neighbouring offsets in the
// outline colour, then in white on top.
constexpr uint32_t kOutlineColour = 0xFFF080A0;
constexpr uint32_t kTextColour = 0xFFFFFFFF;
constexpr int kOutline[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};

}  // namespace

// A full console scrolls: the oldest line makes room for the newest.
void ShowStartupStatus(const char* text) {
    if (!startupConsoleEnabled || !windowHandle) return;
    if (startupLineCount == kStartupLineCount) {
        std::memmove(startupLines[0], startupLines[1], sizeof startupLines - sizeof startupLines[0]);
        --startupLineCount;
    }
    CopyCp932Text(startupLines[startupLineCount], kStartupLineSize, text);
    ++startupLineCount;
    PaintStartupConsole();
}

void PaintStartupConsole() {
    if (!startupConsoleEnabled || !windowHandle || startupLineCount == 0 || !GetDevice()) return;
    Font* font = CreateFont(platform::GOTHIC_FACE, kConsoleFontHeight, 0, 0, nullptr);
    if (font->BeginDC()) {
        for (int i = 0; i < startupLineCount; ++i) {
            const int y = kConsoleTop + kConsoleLineStep * i;
            for (const auto& offset : kOutline)
                font->DrawText(kConsoleLeft + offset[0], y + offset[1], kOutlineColour, "%s", startupLines[i]);
            font->DrawText(kConsoleLeft, y, kTextColour, "%s", startupLines[i]);
        }
        font->EndDC();
    }
    font->Release();
    PresentFrame();
}
