// The template number and control IDs of the customization files continued page, dlg152_custommore.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg152_custommore {

// clang-format off
enum : int { IDD = 152,
  IDC_SMALL_ANIMATION_PATH = 1035, IDC_BROWSE_SMALL_ANIMATION = 1023, IDC_CLEAR_SMALL_ANIMATION = 1019,
  IDC_LARGE_ANIMATION_PATH = 1036, IDC_BROWSE_LARGE_ANIMATION = 1024, IDC_CLEAR_LARGE_ANIMATION = 1020,
  IDC_README_PATH = 1037, IDC_BROWSE_README = 1025, IDC_CLEAR_README = 1021,
  IDC_LICENSE_PATH = 1038, IDC_BROWSE_LICENSE = 1026, IDC_CLEAR_LICENSE = 1027,
  IDC_SECURITY_FILES_PATH = 1034, IDC_BROWSE_SECURITY_FILES = 1022, IDC_CLEAR_SECURITY_FILES = 1028,
  IDC_DIALUP_PATH = 1039, IDC_BROWSE_DIALUP = 1029, IDC_CLEAR_DIALUP = 1030,
};
// clang-format on

}  // namespace kc::dlg152_custommore
