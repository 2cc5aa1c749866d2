#include "engine/file_name_rule.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace kc::engine {

namespace {

constexpr std::size_t kLongestFileName = 255;

// Windows opens the device, not a file, for these names with any extension.
bool IsDeviceName(const std::string& name) {
  std::string base = name.substr(0, name.find('.'));
  std::transform(base.begin(), base.end(), base.begin(), [](unsigned char c) { return std::toupper(c); });
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1' &&
         base[3] <= '9';
}

}  // namespace

std::string FileNameProblem(const std::string& name) {
  if (name.empty()) return "it is empty";
  if (name.find_first_of("\\/") != std::string::npos) return "it contains a path separator (\\ or /)";
  if (name == "." || name == "..") return "it names a folder (\".\" or \"..\"), not a file";
  if (name.find(':') != std::string::npos) return "it contains a colon, which names a drive";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return "it contains a control character";
    if (std::strchr("<>\"|?*", c) != nullptr) {
      return std::string("it contains the character ") + c + ", which Windows does not allow in file names";
    }
  }
  if (name.back() == '.' || name.back() == ' ') {
    return "it ends with a dot or a blank, which Windows drops from file names";
  }
  if (IsDeviceName(name)) return "it is the name of a Windows device";
  if (name.size() > kLongestFileName) {
    return "it is longer than the " + std::to_string(kLongestFileName) + " characters a file name may have";
  }
  return "";
}

}  // namespace kc::engine
