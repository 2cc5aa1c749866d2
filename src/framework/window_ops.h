// Window operations that do not belong to one dialog: bringing a window up to
// date while the program is busy, the wait cursor, screenshots.
#pragma once

#include <string>

class QWidget;

namespace kc::fw {

// Brings a window up to date at once, without an event loop and without
// taking any user input: pending layout changes are applied, window-system
// events other than input (exposure) are handled, and the window and its
// children are repainted. The build calls it between its steps.
void UpdateWindow(QWidget* window);

// Shows the wait cursor for the life of the object.
class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  void Restore();

 private:
  bool m_active = false;
};

// Renders a widget (and its children) to a PNG file; false when it cannot be
// written.
bool RenderToPng(QWidget* widget, const std::string& hostPath);

}  // namespace kc::fw
