#include "framework/data_exchange.h"

#include <QComboBox>
#include <charconv>

#include "framework/control_text.h"
#include "framework/dialog.h"
#include "framework/host_paths.h"
#include "framework/message_box.h"

namespace kc::fw {

namespace {

[[noreturn]] void Refuse(CDataExchange* pDX, const std::string& message) {
  MessageBoxA(pDX->m_pDlgWnd, message, pDX->m_pDlgWnd->MessageCaption(), MB_ICONEXCLAMATION | MB_OK);
  pDX->Fail();
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
  pDX->PrepareCtrl(id);
  CDialog* dlg = pDX->m_pDlgWnd;
  if (!pDX->m_bSaveAndValidate) {
    dlg->SetDlgItemText(id, value);
    return;
  }
  QWidget* control = dlg->GetDlgItem(id);
  const platform::TextEncoding encoding = dlg->TypedTextEncoding();
  std::string refused;
  std::optional<std::string> text = GetWindowTextIn(control, encoding, &refused);
  if (!text) {
    // Mended: typed text was stored as UTF-8 whatever the file held, and
    // unchanged code-page text came back as U+FFFD. A character the file's
    // encoding has no code for is refused, not replaced.
    Refuse(pDX, UnstorableTextMessage(ShownText(GetWindowTextOf(control)), refused, encoding, dlg->TextFile()));
  }
  value = std::move(*text);
}

void DDX_Path(CDataExchange* pDX, int id, std::string& value) {
  std::string text = value;
  DDX_Text(pDX, id, text);
  if (pDX->m_bSaveAndValidate && IsHostPathText(text)) {
    // Mended: a host path was taken as a path on the current drive.
    std::string message;
    std::optional<std::string> drivePath = DrivePathOfHostPath(text, "path", message);
    if (!drivePath) Refuse(pDX, message);
    text = std::move(*drivePath);
    pDX->m_pDlgWnd->SetDlgItemText(id, text);  // the field shows what is stored
  }
  value = std::move(text);
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
  pDX->PrepareCtrl(id);
  if (!pDX->m_bSaveAndValidate) {
    pDX->m_pDlgWnd->SetDlgItemText(id, std::to_string(value));
    return;
  }
  std::string text = pDX->m_pDlgWnd->GetDlgItemText(id);
  const auto first = text.find_first_not_of(" \t");
  const auto last = text.find_last_not_of(" \t");
  text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
  int parsed = 0;
  const char* begin = text.data() + (text.size() > 1 && text[0] == '+' ? 1 : 0);
  const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), parsed);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
    Refuse(pDX, "Please enter an integer.");
  }
  value = parsed;
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
  pDX->PrepareCtrl(id);
  if (pDX->m_bSaveAndValidate)
    value = pDX->m_pDlgWnd->IsDlgButtonChecked(id);
  else
    pDX->m_pDlgWnd->CheckDlgButton(id, value);
}

void DDX_CBString(CDataExchange* pDX, int id, std::string& value) {
  pDX->PrepareCtrl(id);
  auto* combo = qobject_cast<QComboBox*>(pDX->m_pDlgWnd->GetDlgItem(id));
  if (!combo) return;
  if (pDX->m_bSaveAndValidate) {
    value = GetWindowTextOf(combo);
    return;
  }
  CComboBox box(combo);
  if (box.SelectString(-1, value) == CB_ERR && combo->isEditable()) box.SetWindowText(value);
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index) {
  pDX->PrepareCtrl(id);
  CComboBox box = pDX->m_pDlgWnd->ComboBox(id);
  if (pDX->m_bSaveAndValidate)
    index = box.GetCurSel();
  else
    box.SetCurSel(index);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (!control.GetSafeHwnd()) control.Attach(pDX->m_pDlgWnd->GetDlgItem(id));
}

}  // namespace kc::fw
