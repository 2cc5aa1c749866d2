#include "app/terminal_progress.h"

#include <algorithm>

namespace kc::app {

TerminalProgress::TerminalProgress(std::FILE* out, bool interactive, int barWidth)
    : out_(out), interactive_(interactive), barWidth_(barWidth) {}

TerminalProgress::~TerminalProgress() {
  Finish();
}

int TerminalProgress::Clamp(int position) const {
  return std::clamp(position, lower_, std::max(lower_, upper_));
}

void TerminalProgress::SetStatusText(const std::string& text) {
  EndStage();
  text_ = text;
  inStage_ = true;
}

void TerminalProgress::SetRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
  position_ = Clamp(position_);
}

void TerminalProgress::StepIt() {
  // A progress bar wraps to its lower bound when a step passes the upper one.
  int next = position_ + step_;
  if (next > upper_) next = lower_ + (next - upper_) - 1;
  position_ = Clamp(next);
  Show();
}

std::string TerminalProgress::Render() const {
  const int span = upper_ - lower_;
  const int done = span > 0 ? (position_ - lower_) * barWidth_ / span : 0;
  std::string line = text_.empty() ? std::string("Preparing") : text_;
  line += " [";
  line.append(static_cast<std::size_t>(done), '#');
  line.append(static_cast<std::size_t>(barWidth_ - done), ' ');
  line += "] step " + std::to_string(position_ - lower_) + "/" + std::to_string(span);
  return line;
}

void TerminalProgress::Print(const std::string& line) {
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

void TerminalProgress::Show() {
  const std::string line = Render();
  if (inStage_) stageLast_ = line;
  if (interactive_) {
    if (line == shown_) return;
    shown_ = line;
    // Redraw in place and clear what a longer earlier line left behind.
    std::fprintf(out_, "\r%s\033[K", line.c_str());
    std::fflush(out_);
    lineOpen_ = true;
  } else if (inStage_ && stageStart_.empty()) {
    stageStart_ = line;
    Print(line);
  }
}

void TerminalProgress::EndStage() {
  if (!inStage_) return;
  if (interactive_) {
    // The stage's last state stays on view on its own line.
    if (lineOpen_) std::fputc('\n', out_);
    std::fflush(out_);
    lineOpen_ = false;
    shown_.clear();
  } else if (!stageLast_.empty() && stageLast_ != stageStart_) {
    Print(stageLast_);
  }
  inStage_ = false;
  stageStart_.clear();
  stageLast_.clear();
}

void TerminalProgress::Finish() {
  EndStage();
  if (lineOpen_) {
    std::fputc('\n', out_);
    std::fflush(out_);
    lineOpen_ = false;
  }
}

}  // namespace kc::app
