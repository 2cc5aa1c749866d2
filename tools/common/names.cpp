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

std::string JoinArguments(const std::vector<std::string>& pieces) {
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += pieces[i];
  }
  return joined;
}

}  // namespace kc::tools
