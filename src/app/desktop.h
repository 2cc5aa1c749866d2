// The desktop program: the welcome dialog as the main window until Exit.
#pragma once

#include <string>

namespace kc::app {

// Creates the Qt application, runs the welcome dialog (which performs start-up
// in its initialisation) and returns the process exit status. argc/argv are
// handed to Qt.
int RunDesktop(int& argc, char** argv);

// A start that failed before the welcome dialog could open: started from the
// desktop menu nobody reads the terminal, so the message is shown in a message
// box too. Returns when the box is closed.
void ShowStartFailure(int& argc, char** argv, const std::string& message);

}  // namespace kc::app
