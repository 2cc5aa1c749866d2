// Data exchange between a dialog's controls and its members. A dialog
// overrides DoDataExchange and lists its bindings:
//
//   void DoDataExchange(CDataExchange* pDX) override {
//     DDX_Text(pDX, 1035, m_outputPath);
//     DDX_Check(pDX, 1021, m_createCd);
//   }
//
// UpdateData(false) copies the members into the controls, UpdateData(true) the
// controls into the members; a binding that rejects its input shows a message
// (captioned with the dialog's MessageCaption) and calls pDX->Fail(), which
// makes UpdateData return false (members after the refused one keep their
// values): a caller that stores the members must then store nothing.
#pragma once

#include <stdexcept>
#include <string>

namespace kc::fw {

class CDialog;
class CWnd;

struct DataExchangeFailure : std::runtime_error {
  DataExchangeFailure() : std::runtime_error("data exchange failed") {}
};

class CDataExchange {
 public:
  CDataExchange(CDialog* dlg, bool saveAndValidate) : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}
  // Notes the control being exchanged (it gets the focus when the exchange fails).
  void PrepareCtrl(int id) { m_idLastControl = id; }
  [[noreturn]] void Fail() { throw DataExchangeFailure(); }

  CDialog* m_pDlgWnd;
  bool m_bSaveAndValidate;
  int m_idLastControl = 0;
};

// Text: saving takes the control's text as the dialog stores it (the bytes it
// was given, when unchanged; else in the dialog's typed-text encoding), and
// refuses text with a character that encoding cannot hold.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// A field that takes a path of this computer's files: as DDX_Text, and a host
// path typed into it ("/srv/kits/out") is turned into its drive path through
// the drive table (the field then shows that), or refused with a message when
// no drive holds it.
void DDX_Path(CDataExchange* pDX, int id, std::string& value);
// An integer field: text that is not a whole number is refused with the
// message "Please enter an integer.".
void DDX_Text(CDataExchange* pDX, int id, int& value);
// Check box or radio button: BST_UNCHECKED / BST_CHECKED.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// Combo box: saving takes the edit text (or the selected entry's text);
// loading selects the first entry that begins with value, and an editable
// combo box shows value when none does.
void DDX_CBString(CDataExchange* pDX, int id, std::string& value);
// Combo box selection index (-1: none).
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
// Binds a control object to control id (when it is not bound yet).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

}  // namespace kc::fw
