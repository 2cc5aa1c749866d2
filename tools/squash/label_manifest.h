// Labels of archive entries. A zip entry has no field for a label, so squash
// keeps them in an entry of its own, ".squash/labels": one line per labelled
// entry, "<entry name><TAB><label>\n", in entry order.
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
// Lines sorted in entry order; empty text when there is no label.
std::string FormatLabelManifest(const LabelMap& labels);

}  // namespace kc::tools
