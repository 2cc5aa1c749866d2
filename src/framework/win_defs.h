// Windows names for the values that dialogs, pages and prompts exchange: result
// codes, message-box styles, file-dialog flags, wizard buttons, notification
// codes and the progress-bar and tree-view constants. The numbers are the
// Windows ones, so that code written against them reads (and behaves) as it
// would on Windows.
#pragma once

#include <cstdint>

namespace kc::fw {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr LPARAM MAKELPARAM(int low, int high) {
  return static_cast<LPARAM>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                             static_cast<std::uint32_t>(low & 0xFFFF));
}
inline constexpr int LOWORD(LPARAM v) {
  return static_cast<int>(v & 0xFFFF);
}
inline constexpr int HIWORD(LPARAM v) {
  return static_cast<int>((v >> 16) & 0xFFFF);
}

// Dialog results and the standard control IDs (a control's object name is
// "ctl" followed by its ID: IDOK is "ctl1").
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDHELP = 9;

// Message boxes.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_TYPEMASK = 0xF;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_ICONMASK = 0xF0;

// Common file dialogs.
inline constexpr unsigned OFN_READONLY = 0x1;
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x2;
inline constexpr unsigned OFN_HIDEREADONLY = 0x4;
inline constexpr unsigned OFN_NOCHANGEDIR = 0x8;
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x800;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;

// Wizard sheet: PSM_SETWIZBUTTONS and its flags, the sheet's button IDs.
inline constexpr unsigned PSM_SETWIZBUTTONS = 1136;
inline constexpr unsigned PSWIZB_BACK = 1;
inline constexpr unsigned PSWIZB_NEXT = 2;
inline constexpr unsigned PSWIZB_FINISH = 4;
inline constexpr unsigned PSWIZB_DISABLEDFINISH = 8;
inline constexpr int ID_WIZBACK = 12323;
inline constexpr int ID_WIZNEXT = 12324;
inline constexpr int ID_WIZFINISH = 12325;

// Notification codes for OnCommand / OnNotify.
inline constexpr int BN_CLICKED = 0;
inline constexpr int EN_CHANGE = 0x300;
inline constexpr int LBN_SELCHANGE = 1;
inline constexpr int LBN_DBLCLK = 2;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int NM_CLICK = -2;
inline constexpr int NM_DBLCLK = -3;

// Buttons.
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;
inline constexpr int BST_INDETERMINATE = 2;

// ShowWindow.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

// List and combo boxes.
inline constexpr int LB_ERR = -1;
inline constexpr int CB_ERR = -1;

// Progress bar messages (SendMessage on a CProgressCtrl).
inline constexpr unsigned PBM_SETRANGE = 1025;
inline constexpr unsigned PBM_SETPOS = 1026;
inline constexpr unsigned PBM_DELTAPOS = 1027;
inline constexpr unsigned PBM_SETSTEP = 1028;
inline constexpr unsigned PBM_STEPIT = 1029;
inline constexpr unsigned PBM_GETPOS = 1032;

// Tree view.
inline constexpr unsigned TVE_COLLAPSE = 1;
inline constexpr unsigned TVE_EXPAND = 2;
inline constexpr unsigned TVE_TOGGLE = 3;
inline constexpr int TVSIL_NORMAL = 0;

// Directory listing in combo boxes.
inline constexpr unsigned DDL_DRIVES = 0x4000;
inline constexpr unsigned DDL_EXCLUSIVE = 0x8000;

}  // namespace kc::fw
