// The build's progress on a terminal: the stage text, a bar and "step n/m",
// redrawn in place on a terminal, or one plain line per change otherwise.
#pragma once

#include <cstdio>
#include <string>

#include "engine/progress.h"

namespace kc::app {

class TerminalProgress : public engine::ProgressView {
 public:
  TerminalProgress(std::FILE* out, bool interactive, int barWidth = 30);
  ~TerminalProgress() override;

  void SetStatusText(const std::string& text) override { text_ = text; }
  void SetRange(int lower, int upper) override;
  void SetPos(int position) override { position_ = Clamp(position); }
  void SetStep(int step) override { step_ = step; }
  void StepIt() override;
  void UpdateWindow() override;

  // Ends the line being redrawn, so that what follows starts on a new line.
  void Finish();

  // The text one repaint shows: "Creating CD image [#####     ] step 3/7".
  std::string Render() const;

 private:
  int Clamp(int position) const;

  std::FILE* out_;
  bool interactive_;
  int barWidth_;
  std::string text_;
  int lower_ = 0;
  int upper_ = 100;  // a progress bar's range before it is set
  int position_ = 0;
  int step_ = 10;
  std::string shown_;
  bool lineOpen_ = false;
};

// The main window of a build without windows: nothing to repaint.
class NoWindow : public engine::Window {
 public:
  void UpdateWindow() override {}
};

}  // namespace kc::app
