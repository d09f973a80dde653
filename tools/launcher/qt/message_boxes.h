#pragma once
#include "tools/launcher/core/launcher.h"

#include <string>

class QWidget;

namespace launcher {

// A Yes/No question owned by `owner`; true for Yes.
bool AskYesNo(QWidget* owner, const std::string& text, const std::string& caption);
// An OK box for an information, the plain message box for a failure.
void ShowNotice(QWidget* owner, const Notice& notice);

}  // namespace launcher
