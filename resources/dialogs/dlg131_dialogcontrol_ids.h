// The template number and control IDs of the dialog control page, dlg131_dialogcontrol.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg131_dialogcontrol {

// clang-format off
enum : int { IDD = 131,
  IDC_ALL_DIALOGS_OFF = 1026, IDC_THESE_DIALOGS_ON = 1027,
  IDC_REBOOT_ALWAYS = 1057, IDC_REBOOT_NEVER = 1058, IDC_REBOOT_WHEN_NEEDED = 1059,
  IDC_SHOW_WELCOME = 1014, IDC_SHOW_PATH = 1015, IDC_SHOW_FINISH = 1017, IDC_SHOW_ASSOCIATIONS = 1018,
  IDC_SHOW_LICENSE = 1060, IDC_SHOW_SETUP_TYPE = 1061, IDC_SHOW_OPTIONS = 1062, IDC_SHOW_SELECT_FOLDER = 1063,
  IDC_SHOW_START_COPY = 1064, IDC_SHOW_README = 1065,
};
// clang-format on

}  // namespace kc::dlg131_dialogcontrol
