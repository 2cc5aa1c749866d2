// The template number and control IDs of the progress dialog, dlg146_progress.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg146_progress {

// clang-format off
enum : int { IDD = 146,
  IDC_STATUS_TEXT = 1037, IDC_PROGRESS_BAR = 1036,
};
// clang-format on

}  // namespace kc::dlg146_progress
