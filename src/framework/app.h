// The application object. A program derives from CWinApp, overrides
// InitInstance (create the main window, or run a dialog) and calls Run from
// main(); Run creates the QApplication.
#pragma once

#include <string>

class QWidget;

namespace kc::fw {

class CWinApp {
 public:
  // appName: the name message boxes show as caption; empty: the program
  // file's name without extension.
  explicit CWinApp(const std::string& appName = {});
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // False ends the program at once (a dialog-based program runs its dialog
  // inside InitInstance and returns false).
  virtual bool InitInstance();
  // The program's exit status.
  virtual int ExitInstance();

  // Creates the QApplication, runs InitInstance and, when it returns true and
  // there is a main window, the event loop until that window closes.
  int Run(int& argc, char** argv);

  QWidget* m_pMainWnd = nullptr;
  std::string m_pszAppName;
};

CWinApp* AfxGetApp();
QWidget* AfxGetMainWnd();
// The application's name: the CWinApp's, else the program file's name without
// extension ("kitcomp").
std::string AfxGetAppName();

}  // namespace kc::fw
