#include "app/gui/composer_app.h"

#include <cstdlib>
#include <cstring>

#include "app/gui/welcome_dlg.h"

namespace kc::app {
namespace {

// KITCOMP_EXIT_AFTER_SHOW=1: quit as soon as the welcome dialog is on screen,
// so that the time to a usable window can be measured.
bool ExitAfterShow() {
  const char* value = std::getenv("KITCOMP_EXIT_AFTER_SHOW");
  return value && std::strcmp(value, "1") == 0;
}

}  // namespace

bool CComposerApp::InitInstance() {
  CWelcomeDlg welcome;
  welcome.SetExitAfterShow(ExitAfterShow());
  m_pMainWnd = &welcome;
  welcome.DoModal();
  m_pMainWnd = nullptr;
  if (welcome.StartUpRefused()) m_status = kExitStartUpRefused;
  // The dialog was the whole program: no message loop of its own follows.
  return false;
}

int CComposerApp::ExitInstance() {
  return m_status;
}

}  // namespace kc::app
