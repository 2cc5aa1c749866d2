#include "framework/qt_prompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <string>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/file_dialog.h"
#include "platform/drives.h"
#include "platform/win_types.h"

namespace kc::fw {
namespace {

QMessageBox::Icon IconOf(unsigned type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
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
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
  }
}

std::optional<std::string> QtPrompts::FileDialog(const FileDialogRequest& r) {
  QFileDialog dialog(r.parent);
  ConfigureFileDialog(dialog, r);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const std::string host = dialog.selectedFiles().front().toStdString();
  if (auto windowsPath = win::ToWindowsPath(host)) return windowsPath;
  // A path the program could not hold is as unusable as one on no drive, but
  // the user must be told which of the two it is.
  const std::string text =
      win::GetLastError() == win::ERROR_FILENAME_EXCED_RANGE
          ? "The path of the file \"" + host + "\" is too long: a path may have at most " +
                std::to_string(win::MAX_PATH - 1) + " characters. Choose a file with a shorter path."
          : "The file \"" + host +
                "\" is on none of the drives in the drive table (KITCOMP_DRIVES). "
                "Choose a file on one of the drives.";
  MessageBox(MessageBoxRequest{r.parent, text, AfxGetAppName(), MB_ICONEXCLAMATION | MB_OK});
  return std::nullopt;
}

int QtPrompts::RunModal(CDialog& dialog) { return dialog.RunModalLoop(); }

}  // namespace kc::fw
