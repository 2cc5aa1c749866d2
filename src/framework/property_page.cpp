#include "framework/property_page.h"

#include <QKeyEvent>

#include "framework/property_sheet.h"

namespace kc::fw {

CPropertyPage::CPropertyPage(int templateId, QWidget* parent) : CDialog(templateId, parent) {}

CPropertyPage::~CPropertyPage() = default;

bool CPropertyPage::OnSetActive() {
  if (m_firstSetActive)
    m_firstSetActive = false;
  else
    UpdateData(false);
  return true;
}

bool CPropertyPage::OnKillActive() {
  return UpdateData(true);
}

LRESULT CPropertyPage::OnWizardNext() {
  return 0;
}

LRESULT CPropertyPage::OnWizardBack() {
  return 0;
}

bool CPropertyPage::OnWizardFinish() {
  return true;
}

void CPropertyPage::SetWizardButtons(unsigned flags) {
  if (m_sheet) m_sheet->SendMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags));
}

std::string CPropertyPage::GetCaption() const {
  return windowTitle().toStdString();
}

void CPropertyPage::keyPressEvent(QKeyEvent* event) {
  // QDialog would end the page itself on Escape; let the event reach the sheet.
  event->ignore();
}

}  // namespace kc::fw
