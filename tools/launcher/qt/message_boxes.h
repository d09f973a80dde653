#pragma once
#include "tools/launcher/core/launcher.h"

#include <QString>

#include <string>

class QWidget;

namespace launcher {

// A Yes/No question owned by `owner`; true for Yes.
bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption);
// An OK box for an information, the plain message box for a failure.
void ShowNotice(QWidget* owner, const Notice& notice);
// The box of an error that ends the program.
void ShowStop(const QString& caption, const std::string& text);

// `text` with a place to break the line at least every few characters: a
// long path, which offers few such places, then wraps inside a box or label
// instead of making it wider than the screen. Only invisible zero-width
// spaces are added.
QString Breakable(const std::string& text);

}  // namespace launcher
