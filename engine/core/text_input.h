#pragma once
#include <cstdint>

#include "platform/ime.h"
#include "platform/window.h"

// Typed text: the characters of WM_CHAR collected in a ring of Shift-JIS
// bytes, as long as the game window has an input-method context. On Linux the
// window never has one (platform/ime.h), so the ring stays empty.

constexpr int kTypedTextSize = 4096;     // the ring
constexpr int kTypedTextMaxLength = 256;  // the current text, from typedTextStart

extern uint8_t typedText[kTypedTextSize];
extern int typedTextStart;  // 0..4095
extern platform::WindowHandle typedTextWindow;
extern platform::ImeContext typedTextContext;

// Takes the game window and its input context, with an empty ring; returns 1.
int InitTextInput();
void ShutdownTextInput();

// One WM_CHAR: 8 (backspace) erases the last character, 13 and 27 are
// ignored, any other byte is appended while the text is below 256 bytes.
void AddTypedChar(unsigned ch);
// Removes the last character (one or two bytes); a one-byte text empties the
// ring and puts its start back to 0.
void EraseLastTypedChar();

// Copies the current text and its terminating zero into out (cut to size)
// and returns the text's length in bytes.
int GetTypedText(char* out, int size);
