// The progress dialog: a modeless window that shows the build's current stage
// and a bar for the steps within it. The build engine drives it through the
// progress view interface and repaints it between units of work.
#pragma once

#include <string>

#include "engine/progress.h"
#include "framework/dialog.h"
#include "ui_dlg146_progress.h"

namespace kc::app {

class CProgressDlg : public fw::CDialog, public engine::ProgressView {
  Q_OBJECT

 public:
  explicit CProgressDlg(QWidget* parent = nullptr);

  bool OnInitDialog() override;
  // No buttons, and no way to close it while the build runs.
  void OnCancel() override {}
  void OnOK() override {}

  void SetStatusText(const std::string& text) override;
  void SetRange(int lower, int upper) override;
  void SetPos(int position) override;
  void SetStep(int step) override;
  void StepIt() override;
  void UpdateWindow() override;

 private:
  Ui::dlg146_progress ui;
};

}  // namespace kc::app
