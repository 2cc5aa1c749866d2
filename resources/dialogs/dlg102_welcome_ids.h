// The template number and control IDs of the welcome dialog, dlg102_welcome.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg102_welcome {

// clang-format off
enum : int { IDD = 102,
  IDC_CONFIGURATION_PATH = 1014, IDC_BROWSE = 1019,
};
// clang-format on

}  // namespace kc::dlg102_welcome
