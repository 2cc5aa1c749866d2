#include "app/desktop.h"

#include "app/gui/composer_app.h"

namespace kc::app {

int RunDesktop(int& argc, char** argv) {
  CComposerApp app;
  return app.Run(argc, argv);
}

}  // namespace kc::app
