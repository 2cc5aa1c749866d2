#include "framework/message_box.h"

#include "framework/app.h"
#include "framework/prompts.h"

namespace kc::fw {

int MessageBoxA(QWidget* owner, const std::string& text, const std::string& caption, unsigned type) {
  return Prompts::Current().MessageBox(MessageBoxRequest{owner, text, caption, type});
}

int AfxMessageBox(const std::string& text, unsigned type) {
  return MessageBoxA(AfxGetMainWnd(), text, AfxGetAppName(), type);
}

}  // namespace kc::fw
