// The wizard sheet: the framework's wizard frame without a Help button.
#pragma once

#include "framework/property_sheet.h"

namespace kc::wizard {

class CPropSheet : public fw::CPropertySheet {
  Q_OBJECT

 public:
  // No caption of its own: the title bar shows the current page's caption.
  explicit CPropSheet(QWidget* parent = nullptr, int selectPage = 0);

  int DoModal() override;
  bool OnInitDialog() override;
};

}  // namespace kc::wizard
