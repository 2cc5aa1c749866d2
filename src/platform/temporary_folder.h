// A private folder for one command's scratch files, outside any kit: made in
// $TMPDIR (else /tmp), readable by its user only, removed with everything in
// it when the object goes. `kitcomp check` works on copies there, so that it
// never writes into the kit it checks.
#pragma once

#include <string>

namespace kc::platform {

class TemporaryFolder {
 public:
  // `purpose` starts the folder's name ("kitcomp-check" gives
  // kitcomp-check-XXXXXX).
  explicit TemporaryFolder(const std::string& purpose);
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // The folder as a Windows path (through the drive table), or "" when it
  // could not be made or lies on no drive; problem() then says why.
  const std::string& windowsPath() const { return windowsPath_; }
  const std::string& problem() const { return problem_; }

 private:
  std::string hostPath_;
  std::string windowsPath_;
  std::string problem_;
};

}  // namespace kc::platform
