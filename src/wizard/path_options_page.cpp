#include "wizard/path_options_page.h"

#include "config/profile_access.h"
#include "dialogs/dlg151_pathoptions_ids.h"
#include "engine/install_path_rule.h"
#include "framework/data_exchange.h"
#include "framework/resources.h"
#include "string_table.h"

namespace kc::wizard {

using namespace dlg151_pathoptions;

namespace {

// This page always works in "Choices-32", whatever [Global] "Platform" says.
constexpr const char* kSection = config::kChoices32;
constexpr const char* kMessageCaption = "Kit Composer";

}  // namespace

CPathOptions::CPathOptions(const std::string& choicesFile) : CPropertyPage(IDD), m_choicesFile(choicesFile) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);
  SetTextFile(m_choicesFile);
}

std::string CPathOptions::MessageCaption() const {
  return kMessageCaption;
}

void CPathOptions::DoDataExchange(fw::CDataExchange* pDX) {
  fw::DDX_Text(pDX, IDC_BASE_PATH, m_basePath);
  fw::DDX_Text(pDX, IDC_PROFILE_PATH, m_profilePath);
  fw::DDX_Check(pDX, IDC_LOCK_BASE_PATH, m_lockBasePath);
  fw::DDX_Check(pDX, IDC_LOCK_PROFILE_PATH, m_lockProfilePath);
}

bool CPathOptions::OnSetActive() {
  SetDlgItemText(IDC_BASE_PATH, config::ReadValue(m_choicesFile, kSection, config::kProductPath));
  SetDlgItemText(IDC_PROFILE_PATH, config::ReadValue(m_choicesFile, kSection, config::kProfilePath));
  const bool lockBase =
      config::IsExactly(config::ReadValue(m_choicesFile, kSection, config::kNetworkPathEditBox), config::kDisabled);
  CheckDlgButton(IDC_LOCK_BASE_PATH, lockBase ? fw::BST_CHECKED : fw::BST_UNCHECKED);
  const bool lockProfile =
      config::IsExactly(config::ReadValue(m_choicesFile, kSection, config::kProfilePathEditBox), config::kDisabled);
  CheckDlgButton(IDC_LOCK_PROFILE_PATH, lockProfile ? fw::BST_CHECKED : fw::BST_UNCHECKED);
  return CPropertyPage::OnSetActive();
}

fw::LRESULT CPathOptions::OnWizardNext() {
  if (!UpdateData(true)) return -1;  // the refusal has been shown
  if (!engine::IsValidInstallPath(m_basePath)) {
    MessageBox(LoadString(IDS_INVALID_BASE_PATH), kMessageCaption, fw::MB_OK | fw::MB_ICONEXCLAMATION);
    return -1;
  }
  if (!engine::IsValidInstallPath(m_profilePath)) {
    MessageBox(LoadString(IDS_INVALID_PROFILE_PATH), kMessageCaption, fw::MB_OK | fw::MB_ICONEXCLAMATION);
    return -1;
  }
  return CPropertyPage::OnWizardNext();
}

bool CPathOptions::OnKillActive() {
  // A text the choices file cannot hold keeps the page, on Back too.
  if (!UpdateData(true)) return false;
  config::WriteValue(m_choicesFile, kSection, config::kProductPath, m_basePath);
  config::WriteValue(m_choicesFile, kSection, config::kProfilePath, m_profilePath);
  config::WriteValue(m_choicesFile, kSection, config::kNetworkPathEditBox,
                     config::EnabledDisabled(m_lockBasePath == fw::BST_CHECKED));
  config::WriteValue(m_choicesFile, kSection, config::kProfilePathEditBox,
                     config::EnabledDisabled(m_lockProfilePath == fw::BST_CHECKED));
  return CPropertyPage::OnKillActive();
}

}  // namespace kc::wizard
