// The template number and control IDs of the customization files page, dlg139_customfiles.ui: its
// control "ctlNNNN" has the ID NNNN. A line a row of the template.
#pragma once

namespace kc::dlg139_customfiles {

// clang-format off
enum : int { IDD = 139,
  IDC_CONFIG_PATH = 1031, IDC_BROWSE_CONFIG = 1019, IDC_CLEAR_CONFIG = 1055, IDC_OVERWRITE_CONFIG = 1038,
  IDC_BOOKMARKS_PATH = 1032, IDC_BROWSE_BOOKMARKS = 1020, IDC_CLEAR_BOOKMARKS = 1056,
  IDC_ADDRESS_BOOK_PATH = 1033, IDC_BROWSE_ADDRESS_BOOK = 1021, IDC_CLEAR_ADDRESS_BOOK = 1057,
  IDC_INBOX_PATH = 1035, IDC_BROWSE_INBOX = 1023, IDC_CLEAR_INBOX = 1058,
};
// clang-format on

}  // namespace kc::dlg139_customfiles
