// The installer settings page: the splash bitmap, the three lines of the
// product setup title, the Start-menu program folder and its two icons.
#pragma once

#include <string>

#include "framework/property_page.h"
#include "ui_dlg134_settings.h"

namespace kc::wizard {

class CPage3 : public fw::CPropertyPage {
  Q_OBJECT

 public:
  explicit CPage3(const std::string& choicesFile);

  bool OnSetActive() override;
  bool OnKillActive() override;
  bool OnWizardFinish() override;
  void DoDataExchange(fw::CDataExchange* pDX) override;

 private:
  void OnBrowseSplash();
  void OnClearSplash();

  Ui::dlg134_settings ui;
  std::string m_choicesFile;
  // The edit texts, taken when the page is left.
  std::string m_splashPath;     // IDC_SPLASH_PATH
  std::string m_programFolder;  // IDC_PROGRAM_FOLDER
  std::string m_setupTitle;     // IDC_SETUP_TITLE
  std::string m_setupTitle1;    // IDC_SETUP_TITLE1
  std::string m_setupTitle2;    // IDC_SETUP_TITLE2
};

}  // namespace kc::wizard
