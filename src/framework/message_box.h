// Message boxes, through the current prompts.
#pragma once

#include <string>

#include "framework/win_defs.h"

class QWidget;

namespace kc::fw {

// A modal message box; returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO).
int MessageBoxA(QWidget* owner, const std::string& text, const std::string& caption, unsigned type);
// The same, captioned with the application's name.
int AfxMessageBox(const std::string& text, unsigned type = MB_OK);

}  // namespace kc::fw
