#include "wizard/dialog_control_page.h"

#include "config/profile_access.h"
#include "dialogs/dlg131_dialogcontrol_ids.h"
#include "framework/resources.h"

namespace kc::wizard {

using namespace dlg131_dialogcontrol;

namespace {

// The ten dialog boxes in the order they are written; the key names differ
// from the captions in places and are kept as the installer reads them.
struct DialogBox {
  int control;
  const char* key;
};
constexpr DialogBox kDialogBoxes[] = {
    {IDC_SHOW_LICENSE, config::kShowLicenseDialog},
    {IDC_SHOW_WELCOME, config::kShowWelcomeDialog},
    {IDC_SHOW_SETUP_TYPE, config::kShowSetupTypeDialog},
    {IDC_SHOW_PATH, config::kShowPathDialog},
    {IDC_SHOW_OPTIONS, config::kShowOptionsDialog},
    {IDC_SHOW_ASSOCIATIONS, config::kShowAssociationsDialog},
    {IDC_SHOW_SELECT_FOLDER, config::kShowSelectFolderDialog},
    {IDC_SHOW_START_COPY, config::kShowStartCopyDialog},
    {IDC_SHOW_README, config::kShowReadmeDialog},
    {IDC_SHOW_FINISH, config::kShowFinishDialog},
};

// This page reads its values into 12-character buffers: longer values are cut
// to 11 characters before they are compared.
constexpr unsigned kCapacity = config::kCapacityDialogControl;

int CheckState(bool checked) {
  return checked ? fw::BST_CHECKED : fw::BST_UNCHECKED;
}

}  // namespace

CPage2::CPage2(const std::string& choicesFile) : CPropertyPage(IDD), m_choicesFile(choicesFile) {
  ui.setupUi(this);
  fw::ShowSidePicture(this);
  OnCommand(IDC_THESE_DIALOGS_ON, [this] { EnableDialogBoxes(true); });
  OnCommand(IDC_ALL_DIALOGS_OFF, [this] { EnableDialogBoxes(false); });
}

bool CPage2::OnSetActive() {
  const char* section = config::PlatformSection(m_choicesFile, kCapacity);

  const bool showDialogs =
      config::IsExactly(config::ReadValue(m_choicesFile, section, config::kShowDialogs, kCapacity), config::kYes);
  CheckDlgButton(IDC_THESE_DIALOGS_ON, CheckState(showDialogs));
  CheckDlgButton(IDC_ALL_DIALOGS_OFF, CheckState(!showDialogs));
  EnableDialogBoxes(showDialogs);

  // Disabled boxes are set too, so they show their state when enabled again.
  for (const DialogBox& box : kDialogBoxes) {
    const bool yes = config::IsExactly(config::ReadValue(m_choicesFile, section, box.key, kCapacity), config::kYes);
    CheckDlgButton(box.control, CheckState(yes));
  }

  const std::string reboot = config::ReadValue(m_choicesFile, section, config::kShowRebootDialog, kCapacity);
  const bool always = config::IsExactly(reboot, config::kAlways);
  const bool never = !always && config::IsExactly(reboot, config::kNever);
  CheckDlgButton(IDC_REBOOT_ALWAYS, CheckState(always));
  CheckDlgButton(IDC_REBOOT_NEVER, CheckState(never));
  CheckDlgButton(IDC_REBOOT_WHEN_NEEDED, CheckState(!always && !never));

  return CPropertyPage::OnSetActive();
}

bool CPage2::OnKillActive() {
  const char* section = config::PlatformSection(m_choicesFile, kCapacity);
  config::WriteValue(m_choicesFile, section, config::kShowDialogs,
                     config::YesNo(IsDlgButtonChecked(IDC_THESE_DIALOGS_ON) == fw::BST_CHECKED));
  const char* reboot = IsDlgButtonChecked(IDC_REBOOT_ALWAYS) == fw::BST_CHECKED  ? config::kAlways
                       : IsDlgButtonChecked(IDC_REBOOT_NEVER) == fw::BST_CHECKED ? config::kNever
                                                                                 : config::kAuto;
  config::WriteValue(m_choicesFile, section, config::kShowRebootDialog, reboot);
  // Written whether or not the boxes are enabled.
  for (const DialogBox& box : kDialogBoxes) {
    config::WriteValue(m_choicesFile, section, box.key,
                       config::YesNo(IsDlgButtonChecked(box.control) == fw::BST_CHECKED));
  }
  return CPropertyPage::OnKillActive();
}

void CPage2::EnableDialogBoxes(bool enable) {
  for (const DialogBox& box : kDialogBoxes) EnableWindow(box.control, enable);
}

}  // namespace kc::wizard
