// The application object: runs the welcome dialog as the main window and ends
// the program when it closes.
#pragma once

#include "framework/app.h"

namespace kc::app {

class CComposerApp : public fw::CWinApp {
 public:
  // The exit status when start-up refused the install root.
  static constexpr int kExitStartUpRefused = 2;

  bool InitInstance() override;
  int ExitInstance() override;

 private:
  int m_status = 0;
};

}  // namespace kc::app
