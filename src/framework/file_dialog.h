// CFileDialog: the common file-open and file-save dialogs, through the current
// prompts. The answer is a Windows path.
//
//   CFileDialog dlg(true, "kcm", "*.kcm", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR,
//                   "Kit Composer Makefile (*.kcm)|*.kcm||");
//   if (dlg.DoModal() == IDOK) path = dlg.GetPathName();
#pragma once

#include <QStringList>
#include <string>

#include "framework/prompts.h"
#include "framework/win_defs.h"

class QFileDialog;

namespace kc::fw {

class CFileDialog {
 public:
  CFileDialog(bool openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
              unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
              QWidget* parent = nullptr);

  // The folder the dialog starts in (lpstrInitialDir); see InitialFolderOf.
  void SetInitialFolder(const std::string& windowsFolder) { m_request.initialFolder = windowsFolder; }
  int DoModal();  // IDOK or IDCANCEL
  std::string GetPathName() const { return m_path; }
  std::string GetFileName() const;  // the last component
  std::string GetFileExt() const;   // without the dot
  const FileDialogRequest& Request() const { return m_request; }

 private:
  FileDialogRequest m_request;
  std::string m_path;
};

// "Desc (*.a;*.b)|*.a;*.b|All (*.*)|*.*||" -> {"Desc (*.a *.b)", "All (*)"}:
// each description with Qt's pattern list; "*.*" becomes "*" (every name, as
// on Windows, also names without a dot).
QStringList ToQtNameFilters(const std::string& barFilter);
// True when a file name holds a wildcard (and so acts as a filter).
bool IsWildcardName(const std::string& name);
// Sets up a non-native Qt file dialog for a request (mode, filters, initial
// name, default suffix, overwrite prompt). Its places are the folders of the
// drive table's drives, and it starts in the request's initial folder when
// that is a folder, else in the current folder.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

// The folder a Browse for a field starts in: the field's path when it names a
// folder, else the folder that path is in, when that exists (a host path is
// taken through the drive table first); "" when there is none.
std::string InitialFolderOf(const std::string& fieldPath);

}  // namespace kc::fw
