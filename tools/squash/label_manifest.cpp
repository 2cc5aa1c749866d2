#include "squash/label_manifest.h"

#include "common/names.h"

namespace kc::tools {

LabelMap ParseLabelManifest(std::string_view text) {
  LabelMap labels;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0) continue;  // not a label line: ignore it
    const std::string name(line.substr(0, tab));
    labels[LowerCase(name)] = LabelledName{name, std::string(line.substr(tab + 1))};
  }
  return labels;
}

}  // namespace kc::tools
