// Labels of archive entries as earlier versions of squash kept them: in an
// entry of its own, ".squash/labels", one line per labelled entry,
// "<entry name><TAB><label>\n". Labels now live in each entry's comment; the
// old list is still read, and dropped when the archive is rewritten.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace kc::tools {

inline constexpr const char* kLabelManifestName = ".squash/labels";

// Keyed by the lower-case entry name, so that lookups ignore letter case as the
// installer does; the value keeps the entry name as written and its label.
struct LabelledName {
  std::string entryName;
  std::string label;
};
using LabelMap = std::map<std::string, LabelledName>;

LabelMap ParseLabelManifest(std::string_view text);

}  // namespace kc::tools
