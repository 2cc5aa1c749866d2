// The desktop program: the welcome dialog as the main window until Exit.
#pragma once

namespace kc::app {

// Creates the Qt application, runs the welcome dialog (which performs start-up
// in its initialisation) and returns the process exit status. argc/argv are
// handed to Qt.
int RunDesktop(int& argc, char** argv);

}  // namespace kc::app
