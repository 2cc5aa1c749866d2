// The path options page: the base path of the installation and the path of the
// end users' profiles, each with a box that locks it for the end user. The
// only page that refuses Next: both paths must pass the install path rule
// (engine/install_path_rule.h).
#pragma once

#include <string>

#include "framework/property_page.h"
#include "ui_dlg151_pathoptions.h"

namespace kc::wizard {

class CPathOptions : public fw::CPropertyPage {
  Q_OBJECT

 public:
  explicit CPathOptions(const std::string& choicesFile);

  bool OnSetActive() override;
  bool OnKillActive() override;
  fw::LRESULT OnWizardNext() override;
  void DoDataExchange(fw::CDataExchange* pDX) override;
  std::string MessageCaption() const override;

 private:
  Ui::dlg151_pathoptions ui;
  std::string m_choicesFile;
  // Bound to the controls by the data exchange.
  std::string m_basePath;     // IDC_BASE_PATH
  std::string m_profilePath;  // IDC_PROFILE_PATH
  int m_lockBasePath = 0;     // IDC_LOCK_BASE_PATH
  int m_lockProfilePath = 0;  // IDC_LOCK_PROFILE_PATH
};

}  // namespace kc::wizard
