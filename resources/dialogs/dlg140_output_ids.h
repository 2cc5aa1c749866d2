// The template number and control IDs of the output page, dlg140_output.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg140_output {

// clang-format off
enum : int { IDD = 140,
  IDC_CREATE_CD = 1021, IDC_CREATE_DOWNLOAD = 1022,
  IDC_OUTPUT_PATH = 1035, IDC_BROWSE_OUTPUT = 1024,
  IDC_SAVE_CONFIGURATION = 1019,
};
// clang-format on

}  // namespace kc::dlg140_output
