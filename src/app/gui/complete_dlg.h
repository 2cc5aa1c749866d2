// The completion dialog, shown modally once the build is over. After a build
// with failures it lists what failed instead of announcing success.
#pragma once

#include "engine/build_report.h"
#include "framework/dialog.h"
#include "ui_dlg155_complete.h"

namespace kc::app {

class CCompleteDlg : public fw::CDialog {
  Q_OBJECT

 public:
  explicit CCompleteDlg(QWidget* parent = nullptr);

  // Shows the outcome of a build: the template's texts when it went well,
  // else the number of failed steps and a list of them (step, file, reason).
  void ShowReport(const engine::BuildReport& report);

 private:
  Ui::dlg155_complete ui;
};

}  // namespace kc::app
