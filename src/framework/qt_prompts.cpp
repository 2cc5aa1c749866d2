#include "framework/qt_prompts.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <string>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/file_dialog.h"
#include "framework/host_paths.h"

namespace kc::fw {
namespace {

QMessageBox::Icon IconOf(unsigned type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONASTERISK:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

int QtPrompts::MessageBox(const MessageBoxRequest& r) {
  QMessageBox box(IconOf(r.type), QString::fromStdString(r.caption.empty() ? "Error" : r.caption),
                  QString::fromStdString(r.text), QMessageBox::NoButton, r.owner);
  switch (r.type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      break;
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);  // Escape on an OK-only box answers OK
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return IDOK;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return IDCANCEL;
  }
}

std::optional<std::string> QtPrompts::FileDialog(const FileDialogRequest& r) {
  QFileDialog dialog(r.parent);
  ConfigureFileDialog(dialog, r);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const std::string host = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
  std::string refusal;
  if (auto windowsPath = DrivePathOfHostPath(host, "file", refusal)) return windowsPath;
  MessageBox(MessageBoxRequest{r.parent, refusal, AfxGetAppName(), MB_ICONEXCLAMATION | MB_OK});
  return std::nullopt;
}

int QtPrompts::RunModal(CDialog& dialog) {
  return dialog.RunModalLoop();
}

}  // namespace kc::fw
