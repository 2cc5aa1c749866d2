// The dialog control page: which of the generated installer's own dialogs the
// end user sees, and when its reboot dialog shows.
#pragma once

#include <string>

#include "framework/property_page.h"
#include "ui_dlg131_dialogcontrol.h"

namespace kc::wizard {

class CPage2 : public fw::CPropertyPage {
  Q_OBJECT

 public:
  explicit CPage2(const std::string& choicesFile);

  bool OnSetActive() override;
  bool OnKillActive() override;

 private:
  void EnableDialogBoxes(bool enable);

  Ui::dlg131_dialogcontrol ui;
  std::string m_choicesFile;
};

}  // namespace kc::wizard
