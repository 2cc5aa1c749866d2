#include "wizard/net_or_not_page.h"

#include "config/profile_access.h"
#include "dialogs/dlg150_netornot_ids.h"
#include "framework/resources.h"

namespace kc::wizard {

using namespace dlg150_netornot;

namespace {

// This page always works in "Choices-32", whatever [Global] "Platform" says.
constexpr const char* kSection = config::kChoices32;

}  // namespace

CNetOrNot::CNetOrNot(const std::string& choicesFile) : CPropertyPage(IDD), m_choicesFile(choicesFile) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);
  OnCommand(IDC_LOCAL_TYPE, [this] { OnLocalType(); });
  OnCommand(IDC_NETWORK_TYPE, [this] { OnNetworkType(); });
}

bool CNetOrNot::OnSetActive() {
  SetWizardButtons(fw::PSWIZB_NEXT);
  const std::string netOrLocal =
      config::ReadValue(m_choicesFile, kSection, config::kNetOrLocal, config::kCapacityInstallerType);
  if (config::IsExactly(netOrLocal, config::kLocal)) {
    CheckDlgButton(IDC_LOCAL_TYPE, fw::BST_CHECKED);
    EnableEndUserControls(false);
  } else {
    CheckDlgButton(IDC_LOCAL_TYPE, fw::BST_UNCHECKED);
    CheckDlgButton(IDC_NETWORK_TYPE, fw::BST_CHECKED);
    EnableEndUserControls(true);
    ShowStoredEndUserChoice();
  }
  // Mended: the lock box is loaded from the stored value. Left as it was, it
  // showed its previous state (unchecked at first), and leaving with the
  // network type silently turned a stored "DISABLED" into "ENABLED".
  const std::string lock =
      config::ReadValue(m_choicesFile, kSection, config::kEndUserPathDialogOption, config::kCapacityInstallerType);
  CheckDlgButton(IDC_END_USER_LOCK, config::IsExactly(lock, config::kDisabled) ? fw::BST_CHECKED : fw::BST_UNCHECKED);
  return CPropertyPage::OnSetActive();
}

bool CNetOrNot::OnKillActive() {
  SetWizardButtons(fw::PSWIZB_BACK | fw::PSWIZB_NEXT);
  if (IsDlgButtonChecked(IDC_LOCAL_TYPE) == fw::BST_CHECKED) {
    // The end-user keys keep their values for a later network installer.
    config::WriteValue(m_choicesFile, kSection, config::kNetOrLocal, config::kLocal);
  } else {
    config::WriteValue(m_choicesFile, kSection, config::kNetOrLocal, config::kNet);
    const bool networkServer = IsDlgButtonChecked(IDC_END_USER_NETWORK) == fw::BST_CHECKED;
    config::WriteValue(m_choicesFile, kSection, config::kEndUserPathDialogOptionState,
                       networkServer ? config::kNetwork : config::kLocal);
    const bool locked = IsDlgButtonChecked(IDC_END_USER_LOCK) == fw::BST_CHECKED;
    config::WriteValue(m_choicesFile, kSection, config::kEndUserPathDialogOption, config::EnabledDisabled(locked));
  }
  return CPropertyPage::OnKillActive();
}

void CNetOrNot::OnLocalType() {
  EnableEndUserControls(false);
}

void CNetOrNot::OnNetworkType() {
  EnableEndUserControls(true);
  // Back to the stored sub-choice, not the one clicked before choosing local.
  ShowStoredEndUserChoice();
}

void CNetOrNot::EnableEndUserControls(bool enable) {
  for (int id : {IDC_END_USER_NETWORK, IDC_END_USER_LOCAL, IDC_END_USER_LOCK}) EnableWindow(id, enable);
}

void CNetOrNot::ShowStoredEndUserChoice() {
  const std::string state =
      config::ReadValue(m_choicesFile, kSection, config::kEndUserPathDialogOptionState, config::kCapacityInstallerType);
  const bool networkServer = config::IsExactly(state, config::kNetwork);
  CheckDlgButton(IDC_END_USER_NETWORK, networkServer ? fw::BST_CHECKED : fw::BST_UNCHECKED);
  CheckDlgButton(IDC_END_USER_LOCAL, networkServer ? fw::BST_UNCHECKED : fw::BST_CHECKED);
}

}  // namespace kc::wizard
