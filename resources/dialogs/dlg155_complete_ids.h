// The template number and control IDs of the completion dialog, dlg155_complete.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg155_complete {

// clang-format off
enum : int { IDD = 155,
  IDC_HEADLINE = 1100, IDC_NEXT_STEPS = 1101, IDC_FAILURES = 1102,
};
// clang-format on

}  // namespace kc::dlg155_complete
