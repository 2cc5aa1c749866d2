#include "platform/temporary_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/drives.h"

namespace kc::platform {

TemporaryFolder::TemporaryFolder(const std::string& purpose) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base == '/' ? base : "/tmp") + "/" + purpose + "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    problem_ = "A temporary folder could not be made in " + pattern.substr(0, pattern.rfind('/')) + ": " +
               std::strerror(errno) + ".";
    return;
  }
  hostPath_ = pattern;
  if (std::optional<std::string> windows = win::ToWindowsPath(hostPath_)) {
    windowsPath_ = *windows;
  } else {
    problem_ = "The temporary folder " + hostPath_ +
               " is on no drive of the drive table; set TMPDIR to a folder on one of its drives.";
  }
}

TemporaryFolder::~TemporaryFolder() {
  if (hostPath_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(hostPath_, ignored);
}

}  // namespace kc::platform
