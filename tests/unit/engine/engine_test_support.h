// Test fixtures of the build engine: a temporary folder mapped as drive T:, a
// small install root on it with stand-in packaging tools that record how they
// were started, and a progress view that records what it was told.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/run_paths.h"
#include "engine/progress.h"

namespace kc::test {

// A fresh host folder that is drive T: (and the host root Z:) for the test,
// for this process and for the tools it starts (KITCOMP_DRIVES).
class TempDrive {
 public:
  TempDrive();
  ~TempDrive();
  TempDrive(const TempDrive&) = delete;
  TempDrive& operator=(const TempDrive&) = delete;

  const std::string& host() const { return host_; }
  std::string Host(const std::string& relative) const;  // "kit/a.txt" -> host path
  static std::string Win(const std::string& relative);  // "kit\\a.txt" -> "T:\kit\a.txt"

  void Write(const std::string& relative, const std::string& contents) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  std::vector<std::string> List(const std::string& relative) const;  // sorted names

 private:
  std::string host_;
};

// Records every progress operation and repaint as one line each:
// "pos 0", "text Creating CD image", "range 0 3", "step 1", "stepit",
// "paint progress", "paint main".
class RecordingProgress : public engine::ProgressView {
 public:
  void SetStatusText(const std::string& text) override { log.push_back("text " + text); }
  void SetRange(int lower, int upper) override {
    log.push_back("range " + std::to_string(lower) + " " + std::to_string(upper));
  }
  void SetPos(int position) override { log.push_back("pos " + std::to_string(position)); }
  void SetStep(int step) override { log.push_back("step " + std::to_string(step)); }
  void StepIt() override { log.push_back("stepit"); }
  void UpdateWindow() override { log.push_back("paint progress"); }
  int Count(const std::string& entry) const;
  // The log without the repaints.
  std::vector<std::string> Operations() const;
  std::vector<std::string> log;
};

class RecordingWindow : public engine::Window {
 public:
  explicit RecordingWindow(std::vector<std::string>& log) : log_(log) {}
  void UpdateWindow() override { log_.push_back("paint main"); }

 private:
  std::vector<std::string>& log_;
};

// An install root at T:\kit: kitcomp\ with kitcomp.ini and stand-in tools,
// source\install with setup.ini, setup.exe, readme.txt, license.txt,
// source\modules with addinst.ini and the modules given (stem -> has .ins),
// custom\engine. The stand-in tools append "tool|current directory|arg|arg..."
// to tools.log at the drive's root; squash.exe writes its archive anew (the
// same content in a new file); pkgindex.exe leaves a setup.pkg listing
// its file list, sfxmaker.exe writes DestDir\netsetup.exe. A tool named in
// failingTool exits with status 3 and a message on standard error.
struct KitOptions {
  std::vector<std::pair<std::string, bool>> modules = {{"lume", true}, {"as", true}, {"vue", true}, {"cal", false}};
  std::string failingTool;
};
config::RunPaths MakeKit(const TempDrive& drive, const KitOptions& options = {});

// Lines of tools.log, split at "|".
std::vector<std::vector<std::string>> ToolRuns(const TempDrive& drive);

}  // namespace kc::test
