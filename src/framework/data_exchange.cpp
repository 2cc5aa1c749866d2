#include "framework/data_exchange.h"

#include <QComboBox>
#include <charconv>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/message_box.h"

namespace kc::fw {

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
  pDX->PrepareCtrl(id);
  if (pDX->m_bSaveAndValidate) value = pDX->m_pDlgWnd->GetDlgItemText(id);
  else pDX->m_pDlgWnd->SetDlgItemText(id, value);
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
    MessageBoxA(pDX->m_pDlgWnd, "Please enter an integer.", AfxGetAppName(), MB_ICONEXCLAMATION | MB_OK);
    pDX->Fail();
  }
  value = parsed;
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
  pDX->PrepareCtrl(id);
  if (pDX->m_bSaveAndValidate) value = pDX->m_pDlgWnd->IsDlgButtonChecked(id);
  else pDX->m_pDlgWnd->CheckDlgButton(id, value);
}

void DDX_CBString(CDataExchange* pDX, int id, std::string& value) {
  pDX->PrepareCtrl(id);
  auto* combo = qobject_cast<QComboBox*>(pDX->m_pDlgWnd->GetDlgItem(id));
  if (!combo) return;
  if (pDX->m_bSaveAndValidate) {
    value = combo->currentText().toStdString();
    return;
  }
  CComboBox box(combo);
  if (box.SelectString(-1, value) == CB_ERR && combo->isEditable()) combo->setEditText(QString::fromStdString(value));
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index) {
  pDX->PrepareCtrl(id);
  CComboBox box = pDX->m_pDlgWnd->ComboBox(id);
  if (pDX->m_bSaveAndValidate) index = box.GetCurSel();
  else box.SetCurSel(index);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (!control.GetSafeHwnd()) control.Attach(pDX->m_pDlgWnd->GetDlgItem(id));
}

}  // namespace kc::fw
