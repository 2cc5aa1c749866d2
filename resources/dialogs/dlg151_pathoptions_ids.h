// The template number and control IDs of the path options page, dlg151_pathoptions.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg151_pathoptions {

// clang-format off
enum : int { IDD = 151,
  IDC_BASE_PATH = 1014, IDC_LOCK_BASE_PATH = 1048,
  IDC_PROFILE_PATH = 1015, IDC_LOCK_PROFILE_PATH = 1050,
};
// clang-format on

}  // namespace kc::dlg151_pathoptions
