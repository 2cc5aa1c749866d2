// The build's progress on a terminal: the stage text, a bar and "step n/m".
// On a terminal the line is redrawn in place at every step, and each stage's
// last state stays on its own line. Otherwise (a log, a pipe) each stage gives
// two plain lines: as it starts and as it ends.
#pragma once

#include <cstdio>
#include <string>

#include "engine/progress.h"

namespace kc::app {

class TerminalProgress : public engine::ProgressView {
 public:
  TerminalProgress(std::FILE* out, bool interactive, int barWidth = 30);
  ~TerminalProgress() override;

  // A stage text starts a stage (the engine sets one at the start of each);
  // the stage before it has ended.
  void SetStatusText(const std::string& text) override;
  void SetRange(int lower, int upper) override;
  void SetPos(int position) override { position_ = Clamp(position); }
  void SetStep(int step) override { step_ = step; }
  // Shown at once: the engine repaints before a step, not after the last one.
  void StepIt() override;
  void UpdateWindow() override { Show(); }

  // Ends the last stage, so that what follows starts on a new line.
  void Finish();

  // The text one repaint shows: "Creating CD image [#####     ] step 3/7".
  std::string Render() const;

 private:
  int Clamp(int position) const;
  void Show();
  void EndStage();
  void Print(const std::string& line);

  std::FILE* out_;
  bool interactive_;
  int barWidth_;
  std::string text_;
  int lower_ = 0;
  int upper_ = 100;  // a progress bar's range before it is set
  int position_ = 0;
  int step_ = 10;
  bool inStage_ = false;
  std::string stageStart_;  // plain output: the stage's first line, once printed
  std::string stageLast_;   // the stage's latest state
  std::string shown_;       // on a terminal: what the open line shows
  bool lineOpen_ = false;
};

// The main window of a build without windows: nothing to repaint.
class NoWindow : public engine::Window {
 public:
  void UpdateWindow() override {}
};

}  // namespace kc::app
