// The template number and control IDs of the components page, dlg129_components.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg129_components {

// clang-format off
enum : int { IDD = 129,
  IDC_AVAILABLE = 1008, IDC_ADD = 1010, IDC_REMOVE = 1011, IDC_INCLUDED = 1009,
};
// clang-format on

}  // namespace kc::dlg129_components
