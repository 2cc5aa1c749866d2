// The template number and control IDs of the Browse Path dialog, dlg141_browsepath.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg141_browsepath {

// clang-format off
enum : int { IDD = 141,
  IDC_PATH_SHOWN = 1048, IDC_FOLDER_TREE = 1077, IDC_DRIVES = 1049,
};
// clang-format on

}  // namespace kc::dlg141_browsepath
