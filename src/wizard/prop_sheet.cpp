#include "wizard/prop_sheet.h"

namespace kc::wizard {

CPropSheet::CPropSheet(QWidget* parent, int selectPage) : CPropertySheet(std::string(), parent, selectPage) {}

int CPropSheet::DoModal() {
  return CPropertySheet::DoModal();
}

bool CPropSheet::OnInitDialog() {
  // The pages have no help to offer.
  ShowWindow(fw::IDHELP, fw::SW_HIDE);
  return CPropertySheet::OnInitDialog();
}

}  // namespace kc::wizard
