// The template number and control IDs of the installer settings page, dlg134_settings.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg134_settings {

// clang-format off
enum : int { IDD = 134,
  IDC_SPLASH_PATH = 1018, IDC_BROWSE_SPLASH = 1030, IDC_CLEAR_SPLASH = 1067,
  IDC_SETUP_TITLE = 1014, IDC_SETUP_TITLE1 = 1015, IDC_SETUP_TITLE2 = 1016,
  IDC_PROGRAM_FOLDER = 1019,
  IDC_README_ICON = 1039, IDC_LICENSE_ICON = 1040,
};
// clang-format on

}  // namespace kc::dlg134_settings
