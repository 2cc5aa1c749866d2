#include "engine/install_path_rule.h"

namespace kc::engine {
namespace {

// The one value that stands for every user's own folder; it counts only as
// the whole text and only in lower case.
constexpr const char* kUserNameVariable = "%username%";

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsPathCharacter(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '\\' || c == ':' || c == ' ' || c == '.';
}

}  // namespace

bool IsValidInstallPath(const std::string& path) {
  if (path == kUserNameVariable) return true;
  if (path.size() < 3) return false;
  for (char c : path) {
    if (!IsPathCharacter(c)) return false;  // bytes of non-ASCII characters fail here too
  }
  if (IsAsciiLetter(path[0])) {
    // A drive path (C:\Apps) needs the backslash; anything else starting with
    // a letter is a relative path (Programs\Apps).
    return path[1] != ':' || path[2] == '\\';
  }
  if (path[0] == '\\' && path[1] == '\\') {
    // \\server\share: the server name starts with a letter and a share follows.
    return IsAsciiLetter(path[2]) && path.find('\\', 3) != std::string::npos;
  }
  return false;
}

}  // namespace kc::engine
