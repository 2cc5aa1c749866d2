// The template number and control IDs of the installer type page, dlg150_netornot.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg150_netornot {

// clang-format off
enum : int { IDD = 150,
  IDC_LOCAL_TYPE = 1047, IDC_NETWORK_TYPE = 1046,
  IDC_END_USER_NETWORK = 1051, IDC_END_USER_LOCAL = 1052, IDC_END_USER_LOCK = 1053,
};
// clang-format on

}  // namespace kc::dlg150_netornot
