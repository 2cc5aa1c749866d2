// The template number and control IDs of the additional installs page, dlg147_addinstalls.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg147_addinstalls {

// clang-format off
enum : int { IDD = 147,
  IDC_INCLUDE_1 = 1039, IDC_PATH_1 = 1014, IDC_BROWSE_1 = 1019, IDC_CLEAR_1 = 1066, IDC_DESCRIPTION_1 = 1016, IDC_SIZE_1 = 1018,
  IDC_INCLUDE_2 = 1040, IDC_PATH_2 = 1015, IDC_BROWSE_2 = 1020, IDC_CLEAR_2 = 1067, IDC_DESCRIPTION_2 = 1017, IDC_SIZE_2 = 1021,
};
// clang-format on

}  // namespace kc::dlg147_addinstalls
