// The program's prompts: Qt's message boxes and (non-native) file dialogs, and
// the dialogs' own modal runs.
#pragma once

#include "framework/prompts.h"

namespace kc::fw {

class QtPrompts : public Prompts {
 public:
  int MessageBox(const MessageBoxRequest& request) override;
  // A file outside every drive of the drive table is refused with a message
  // and counts as cancelled.
  std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
  int RunModal(CDialog& dialog) override;
};

}  // namespace kc::fw
