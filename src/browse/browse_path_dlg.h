// The Browse Path dialog: picks a folder (the build's output path) from a tree
// that shows one branch at a time, a chain from a drive root down to the
// current folder with that folder's subfolders, and a drive selector. Floppy
// drives are refused.
//
// It makes the folder it opens on the process's current directory and leaves
// it there, also after Cancel; nothing else in the program relies on the
// current directory, so that stays local to the dialog. While it initialises
// it writes the log "debug.out" into the directory that is current when it
// opens.
#pragma once

#include <cstdio>
#include <string>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "ui_dlg141_browsepath.h"

namespace kc::browse {

class CBrowsePathDlg : public fw::CDialog {
  Q_OBJECT

 public:
  explicit CBrowsePathDlg(QWidget* parent = nullptr);

  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // The selected drive entry, "[-c-]".
  std::string m_drive;
  // In: the folder to start from. Out (after OK): the chosen folder.
  std::string m_path;

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;

 private:
  void OnSelectDrive();
  fw::LRESULT OnDoubleClickFolder();
  // Inserts every subfolder found by `pattern` below `parent`, sorted; a log
  // (when given) notes each insertion.
  void ListSubfolders(const std::string& pattern, const std::string& prefix, fw::HTREEITEM parent, std::FILE* log);

  fw::CTreeCtrl m_tree;
  fw::CImageList m_images;
  Ui::dlg141_browsepath ui;
};

}  // namespace kc::browse
