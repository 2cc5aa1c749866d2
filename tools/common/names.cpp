#include "common/names.h"

#include <algorithm>

namespace kc::tools {

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), platform::Lower);
  return lower;
}

bool NameLess(std::string_view a, std::string_view b) {
  const std::string la = LowerCase(a);
  const std::string lb = LowerCase(b);
  if (la != lb) return la < lb;
  return a < b;
}

static std::size_t LastSeparator(std::string_view path) {
  return path.find_last_of("\\/");
}

std::string FileNamePart(std::string_view path) {
  const std::size_t at = LastSeparator(path);
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string FolderPart(std::string_view path) {
  const std::size_t at = LastSeparator(path);
  return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at));
}

std::string JoinArguments(const std::vector<std::string>& pieces) {
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += pieces[i];
  }
  return joined;
}

}  // namespace kc::tools
