// The customization files continued page: animations, readme, licence,
// security files and the dial-up package. Only the dial-up entry is checked:
// what is stored for it is the path of the package's "main.htm", which must
// open for reading when the page is left.
#pragma once

#include <string>

#include "config/run_paths.h"
#include "framework/property_page.h"
#include "ui_dlg152_custommore.h"

namespace kc::wizard {

// The path of the dial-up package's main file for what the user typed: a
// folder gets "main.htm" (after a trailing backslash) or "\main.htm" appended;
// a last component that ends with "main.htm" (case-sensitive, so xmain.htm
// too) is taken as the file itself. An entry without any backslash is one
// component and follows the same rule ("pkg" gives "pkg\main.htm").
std::string CompleteDialupEntry(const std::string& entry);

class CCustomDlg2 : public fw::CPropertyPage {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 152;
  explicit CCustomDlg2(const config::RunPaths& paths);

  bool OnSetActive() override;
  bool OnKillActive() override;

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;

 private:
  std::string m_choicesFile;
  std::string m_smallAnimationPath;  // 1035
  std::string m_licensePath;         // 1038
  std::string m_readmePath;          // 1037
  std::string m_securityFilesPath;   // 1034
  std::string m_largeAnimationPath;  // 1036
  std::string m_dialupPath;          // 1039, as typed
  Ui::dlg152_custommore ui;
};

}  // namespace kc::wizard
