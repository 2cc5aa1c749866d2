// The customization files continued page: animations, readme, licence,
// security files and the dial-up package. Only the dial-up entry is checked:
// what is stored for it is the path of the package's "main.htm", which must
// open for reading when the page is left (engine/page_entries.h).
#pragma once

#include <string>

#include "config/run_paths.h"
#include "framework/property_page.h"
#include "ui_dlg152_custommore.h"

namespace kc::wizard {

class CCustomDlg2 : public fw::CPropertyPage {
  Q_OBJECT

 public:
  explicit CCustomDlg2(const config::RunPaths& paths);

  bool OnSetActive() override;
  bool OnKillActive() override;

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;

 private:
  std::string m_choicesFile;
  std::string m_smallAnimationPath;  // IDC_SMALL_ANIMATION_PATH
  std::string m_licensePath;         // IDC_LICENSE_PATH
  std::string m_readmePath;          // IDC_README_PATH
  std::string m_securityFilesPath;   // IDC_SECURITY_FILES_PATH
  std::string m_largeAnimationPath;  // IDC_LARGE_ANIMATION_PATH
  std::string m_dialupPath;          // IDC_DIALUP_PATH, as typed
  Ui::dlg152_custommore ui;
};

}  // namespace kc::wizard
