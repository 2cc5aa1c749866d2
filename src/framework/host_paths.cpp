#include "framework/host_paths.h"

#include "platform/drives.h"
#include "platform/win_types.h"

namespace kc::fw {

bool IsHostPathText(const std::string& text) {
  return !text.empty() && text[0] == '/' && text.rfind("//", 0) != 0;
}

std::string DriveTableText() {
  std::string text;
  for (const win::DriveEntry& entry : win::DriveTable::Current().Entries()) {
    if (!text.empty()) text += ", ";
    text += entry.name + " = " + entry.hostFolder;
  }
  return text.empty() ? "no drives" : text;
}

std::optional<std::string> DrivePathOfHostPath(const std::string& hostPath, const std::string& what,
                                               std::string& message) {
  if (std::optional<std::string> windows = win::ToWindowsPath(hostPath)) return windows;
  // A path the program could not hold is as unusable as one on no drive, but
  // the user must be told which of the two it is.
  if (win::GetLastError() == win::ERROR_FILENAME_EXCED_RANGE) {
    message = "The path of the " + what + " \"" + hostPath + "\" is too long: a path may have at most " +
              std::to_string(win::MAX_PATH - 1) + " characters. Choose a " + what + " with a shorter path.";
  } else {
    message = "The " + what + " \"" + hostPath + "\" is on none of the drives in the drive table (" + DriveTableText() +
              "). Choose a " + what + " on one of the drives.";
  }
  return std::nullopt;
}

}  // namespace kc::fw
