#include "engine/core/text_input.h"

#include <cstring>

#include "engine/core/application.h"
#include "engine/core/sjis.h"

uint8_t typedText[kTypedTextSize];
int typedTextStart = 0;
platform::WindowHandle typedTextWindow = nullptr;
platform::ImeContext typedTextContext = nullptr;

namespace {

constexpr int kRingMask = kTypedTextSize - 1;

uint8_t& RingAt(int offset) { return typedText[(typedTextStart + offset) & kRingMask]; }

int TypedTextLength() {
    int length = 0;
    while (length < kTypedTextMaxLength && RingAt(length) != 0) ++length;
    return length;
}

}  // namespace

int InitTextInput() {
    typedTextWindow = windowHandle;
    typedTextContext = nullptr;
    typedTextStart = 0;
    std::memset(typedText, 0, sizeof typedText);
    // The IME's own composition window is closed: the engine collects the text.
    if (platform::WindowHandle imeWindow = platform::ImmGetDefaultIMEWnd(typedTextWindow)) {
        platform::SendMessage(imeWindow, platform::WM_CLOSE, 0, 0);
    }
    typedTextContext = platform::ImmGetContext(typedTextWindow);
    return 1;
}

void ShutdownTextInput() {
    if (typedTextContext) platform::ImmReleaseContext(typedTextWindow, typedTextContext);
    typedTextContext = nullptr;
    typedTextWindow = nullptr;
}

void AddTypedChar(unsigned ch) {
    if (!typedTextContext) return;
    if (ch == 8) {
        EraseLastTypedChar();
        return;
    }
    if (ch == 13 || ch == 27) return;
    const int end = TypedTextLength();
    if (end == kTypedTextMaxLength) return;  // full: the character is dropped
    const int position = (typedTextStart + end) & kRingMask;
    const int next = (position + 1) & kRingMask;
    if (next == typedTextStart) typedTextStart = (typedTextStart + 1) & kRingMask;
    typedText[position] = static_cast<uint8_t>(ch);
    typedText[next] = 0;
}

void EraseLastTypedChar() {
    if (!typedTextContext) return;
    const int length = TypedTextLength();
    if (length == 0) return;
    if (length == 1) {
        typedTextStart = 0;
        std::memset(typedText, 0, kTypedTextMaxLength);
        return;
    }
    int last = 0;
    for (int offset = 0; offset < length;) {
        last = offset;
        offset += (IsSjisLeadByte(RingAt(offset)) && offset + 1 < length) ? 2 : 1;
    }
    RingAt(last) = 0;
}

int GetTypedText(char* out, int size) {
    const int length = TypedTextLength();
    if (size <= 0) return length;
    const int copied = length < size - 1 ? length : size - 1;
    for (int i = 0; i < copied; ++i) out[i] = static_cast<char>(RingAt(i));
    out[copied] = '\0';
    return length;
}
