// Every modal prompt of the program goes through one interface: message boxes,
// file dialogs and modal dialogs (the folder browser, the completion dialog,
// the wizard sheet). The program uses QtPrompts, which shows Qt's dialogs;
// tests install a scripted implementation that records each request and
// answers it from a script.
#pragma once

#include <optional>
#include <string>

#include "framework/win_defs.h"

class QWidget;

namespace kc::fw {

class CDialog;

struct MessageBoxRequest {
  QWidget* owner = nullptr;
  std::string text;
  std::string caption;    // empty: "Error", as Windows shows
  unsigned type = MB_OK;  // buttons | icon
};

struct FileDialogRequest {
  bool open = true;         // false: Save As
  std::string defaultExt;   // without the dot: "kcm"; empty: none
  std::string initialName;  // "*.kcm" (a filter) or "setup.bmp" (a name)
  unsigned flags = 0;       // OFN_*
  std::string filter;       // "Desc (*.x)|*.x||"
  QWidget* parent = nullptr;
  std::string initialFolder;  // Windows path of the folder to start in; empty: the current folder
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  // IDOK, IDCANCEL, IDYES or IDNO.
  virtual int MessageBox(const MessageBoxRequest& request) = 0;
  // The chosen file as a Windows path, or nullopt when cancelled.
  virtual std::optional<std::string> FileDialog(const FileDialogRequest& request) = 0;
  // Runs a modal dialog and returns its EndDialog code.
  virtual int RunModal(CDialog& dialog) = 0;

  // The installed implementation, else the Qt one.
  static Prompts& Current();
  // Installs p (nullptr: back to the Qt one); returns the previous one.
  static Prompts* Install(Prompts* p);
};

// Installs an implementation for the length of a scope.
class ScopedPrompts {
 public:
  explicit ScopedPrompts(Prompts& p) : m_previous(Prompts::Install(&p)) {}
  ~ScopedPrompts() { Prompts::Install(m_previous); }
  ScopedPrompts(const ScopedPrompts&) = delete;
  ScopedPrompts& operator=(const ScopedPrompts&) = delete;

 private:
  Prompts* m_previous;
};

}  // namespace kc::fw
