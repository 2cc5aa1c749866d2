#include "app/build_transcript.h"

namespace kc::app {
namespace {

std::string ToolLine(const std::string& directory, const std::string& commandLine) {
  return "  running in " + directory + ": " + commandLine + "\n";
}

}  // namespace

BuildTranscript::BuildTranscript(Terminal terminal, bool keepLog) : terminal_(terminal) {
  if (terminal_.stream != nullptr) {
    // Tool lines between the redrawn bar's states would break it up.
    shown_ = std::make_unique<TerminalProgress>(terminal_.stream, terminal_.interactive && !terminal_.verbose);
  }
  // Kept in an anonymous temporary file until the end, when it is written
  // where it was asked for in one piece.
  if (keepLog && (logFile_ = std::tmpfile()) != nullptr) logged_ = std::make_unique<TerminalProgress>(logFile_, false);
}

BuildTranscript::~BuildTranscript() {
  shown_.reset();
  logged_.reset();
  if (logFile_ != nullptr) std::fclose(logFile_);
}

template <typename Call>
void BuildTranscript::Each(Call call) {
  if (shown_) call(*shown_);
  if (logged_) call(*logged_);
}

void BuildTranscript::SetStatusText(const std::string& text) {
  Each([&](TerminalProgress& p) { p.SetStatusText(text); });
}
void BuildTranscript::SetRange(int lower, int upper) {
  Each([&](TerminalProgress& p) { p.SetRange(lower, upper); });
}
void BuildTranscript::SetPos(int position) {
  Each([&](TerminalProgress& p) { p.SetPos(position); });
}
void BuildTranscript::SetStep(int step) {
  Each([&](TerminalProgress& p) { p.SetStep(step); });
}
void BuildTranscript::StepIt() {
  Each([](TerminalProgress& p) { p.StepIt(); });
}
void BuildTranscript::UpdateWindow() {
  Each([](TerminalProgress& p) { p.UpdateWindow(); });
}

void BuildTranscript::ToolStarting(const std::string&, const std::string& directory, const std::string& commandLine) {
  const std::string line = ToolLine(directory, commandLine);
  // The stage a tool belongs to is shown before it, even when the engine has
  // not repainted since the stage began.
  if (shown_ && terminal_.verbose) {
    shown_->UpdateWindow();
    std::fputs(line.c_str(), terminal_.stream);
    std::fflush(terminal_.stream);
  }
  if (logged_) {
    logged_->UpdateWindow();
    std::fputs(line.c_str(), logFile_);
  }
}

void BuildTranscript::Finish() {
  Each([](TerminalProgress& p) { p.Finish(); });
}

void BuildTranscript::Log(const std::string& text) {
  if (logFile_ != nullptr) std::fputs(text.c_str(), logFile_);
}

std::string BuildTranscript::LogText() {
  if (logFile_ == nullptr) return "";
  std::fflush(logFile_);
  std::rewind(logFile_);
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, logFile_)) > 0;) text.append(buffer, n);
  std::fseek(logFile_, 0, SEEK_END);
  return text;
}

}  // namespace kc::app
