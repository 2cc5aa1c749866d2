// What the build engine needs of the windows around it: a progress view with a
// stage text and a progress bar, and the main window it repaints between units
// of work. The desktop program implements them with its progress dialog and
// welcome dialog; the command line with a terminal progress bar.
#pragma once

#include <string>

namespace kc::engine {

class Window {
 public:
  virtual ~Window() = default;
  // Brings the window up to date at once (pending paints only, no input).
  virtual void UpdateWindow() = 0;
};

class ProgressView : public Window {
 public:
  // Replaces the stage text.
  virtual void SetStatusText(const std::string& text) = 0;
  // The progress bar's own operations.
  virtual void SetRange(int lower, int upper) = 0;  // PBM_SETRANGE
  virtual void SetPos(int position) = 0;            // PBM_SETPOS
  virtual void SetStep(int step) = 0;               // PBM_SETSTEP
  virtual void StepIt() = 0;                        // PBM_STEPIT
};

}  // namespace kc::engine
