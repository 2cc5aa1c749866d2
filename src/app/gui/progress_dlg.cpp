#include "app/gui/progress_dlg.h"

#include <QGuiApplication>
#include <QScreen>

#include "dialogs/dlg146_progress_ids.h"
#include "framework/window_ops.h"

namespace kc::app {

using namespace dlg146_progress;

CProgressDlg::CProgressDlg(QWidget* parent) : CDialog(IDD, parent) {
  ui.setupUi(this);
  // A title bar, but no system menu and no close box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

bool CProgressDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // Before the first stage: an empty text and an empty bar.
  SetStatusText(std::string());
  SetRange(0, 0);
  SetPos(0);
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  return true;
}

void CProgressDlg::SetStatusText(const std::string& text) {
  SetDlgItemText(IDC_STATUS_TEXT, text);
}

void CProgressDlg::SetRange(int lower, int upper) {
  SendDlgItemMessage(IDC_PROGRESS_BAR, fw::PBM_SETRANGE, 0, fw::MAKELPARAM(lower, upper));
}

void CProgressDlg::SetPos(int position) {
  SendDlgItemMessage(IDC_PROGRESS_BAR, fw::PBM_SETPOS, static_cast<fw::WPARAM>(position));
}

void CProgressDlg::SetStep(int step) {
  SendDlgItemMessage(IDC_PROGRESS_BAR, fw::PBM_SETSTEP, static_cast<fw::WPARAM>(step));
}

void CProgressDlg::StepIt() {
  SendDlgItemMessage(IDC_PROGRESS_BAR, fw::PBM_STEPIT);
}

void CProgressDlg::UpdateWindow() {
  fw::UpdateWindow(this);
}

}  // namespace kc::app
