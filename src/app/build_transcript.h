// What a command-line build says while it runs: its progress on a terminal
// stream (or nowhere, with --quiet) and, for --log, in the log; with --verbose
// each packaging tool's command line beside the stages. The log always gets
// every stage and every tool's command line, whatever the terminal shows.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "app/terminal_progress.h"
#include "engine/build_report.h"
#include "engine/progress.h"

namespace kc::app {

class BuildTranscript : public engine::ProgressView, public engine::BuildObserver {
 public:
  struct Terminal {
    std::FILE* stream = nullptr;  // nullptr: no progress shown
    bool interactive = false;     // redraw the bar in place (a terminal)
    bool verbose = false;         // tool command lines too (then plain lines, no redrawing)
  };
  BuildTranscript(Terminal terminal, bool keepLog);
  ~BuildTranscript() override;

  void SetStatusText(const std::string& text) override;
  void SetRange(int lower, int upper) override;
  void SetPos(int position) override;
  void SetStep(int step) override;
  void StepIt() override;
  void UpdateWindow() override;
  void ToolStarting(const std::string& program, const std::string& directory, const std::string& commandLine) override;

  // Ends the last stage on every stream.
  void Finish();
  // Adds text to the log only (refusals, the summary).
  void Log(const std::string& text);
  // False when a log was asked for but no temporary file could hold it.
  bool keepsLog() const { return logFile_ != nullptr; }
  // The whole log so far; "" without one.
  std::string LogText();

 private:
  template <typename Call>
  void Each(Call call);

  Terminal terminal_;
  std::unique_ptr<TerminalProgress> shown_;
  std::FILE* logFile_ = nullptr;
  std::unique_ptr<TerminalProgress> logged_;
};

}  // namespace kc::app
