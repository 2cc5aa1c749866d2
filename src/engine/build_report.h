// What a build did: the images it made and every step that failed. The steps
// go on past a failure, but each one is recorded, so that a build with failures
// is never announced as a success.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kc::engine {

struct Failure {
  std::string step;    // what was being done ("Copying the module archive", "Running pkgindex.exe")
  std::string file;    // the file or folder concerned (Windows path), may be empty
  std::string reason;  // why it failed, in words
};

struct ImageResult {
  std::string kind;       // "CD", "disk" or "network"
  std::string directory;  // the image directory (Windows path, without trailing backslash)
  std::uint64_t bytes = 0;
  std::uint64_t files = 0;
};

// Told of a build's tool runs as they happen, for a running account (a
// verbose command line, a log); a report has none unless one is set.
class BuildObserver {
 public:
  virtual ~BuildObserver() = default;
  // A packaging tool is about to start: `program` is the file started, in the
  // folder `directory`, with `commandLine` as its command line.
  virtual void ToolStarting(const std::string& program, const std::string& directory,
                            const std::string& commandLine) = 0;
};

class BuildReport {
 public:
  void AddFailure(std::string step, std::string file, std::string reason) {
    failures_.push_back({std::move(step), std::move(file), std::move(reason)});
  }
  void NoteToolStarting(const std::string& program, const std::string& directory, const std::string& commandLine) {
    if (observer_ != nullptr) observer_->ToolStarting(program, directory, commandLine);
  }
  void SetObserver(BuildObserver* observer) { observer_ = observer; }
  void AddImage(ImageResult image) { images_.push_back(std::move(image)); }

  bool ok() const { return failures_.empty(); }
  const std::vector<Failure>& failures() const { return failures_; }
  const std::vector<ImageResult>& images() const { return images_; }

 private:
  std::vector<Failure> failures_;
  std::vector<ImageResult> images_;
  BuildObserver* observer_ = nullptr;
};

}  // namespace kc::engine
