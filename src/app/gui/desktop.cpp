#include "app/desktop.h"

#include "app/gui/composer_app.h"
#include "framework/message_box.h"

namespace kc::app {
namespace {

class CFailedStartApp : public fw::CWinApp {
 public:
  explicit CFailedStartApp(std::string message) : CWinApp("Kit Composer"), m_message(std::move(message)) {}
  bool InitInstance() override {
    fw::AfxMessageBox(m_message, fw::MB_OK | fw::MB_ICONERROR);
    return false;
  }

 private:
  std::string m_message;
};

}  // namespace

int RunDesktop(int& argc, char** argv) {
  CComposerApp app;
  return app.Run(argc, argv);
}

void ShowStartFailure(int& argc, char** argv, const std::string& message) {
  CFailedStartApp app(message);
  app.Run(argc, argv);
}

}  // namespace kc::app
