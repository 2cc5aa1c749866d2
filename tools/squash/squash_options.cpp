#include "squash/squash_options.h"

#include "common/names.h"
#include "common/tool_failure.h"

namespace kc::tools {

SquashOptions ParseSquashOptions(const std::vector<std::string>& arguments) {
  SquashOptions options;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    // Options are matched without regard to case, as Windows tools take them.
    const std::string lower = LowerCase(argument);
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      positional.push_back(argument);
    } else if (lower == "--") {
      optionsEnded = true;
    } else if (lower == "--help" || lower == "-h" || lower == "-?") {
      options.help = true;
    } else if (lower == "--list" || lower == "-l") {
      options.list = true;
    } else if (lower == "-i") {
      options.include = true;
    } else if (lower == "-o") {
      options.overwrite = true;
    } else if (lower == "-sh") {
      options.hidden = true;
    } else {
      throw ToolFailure(kExitBadInput, "unknown option \"" + argument + "\" (see squash --help)");
    }
  }
  if (options.help) return options;
  if (options.list) {
    if (positional.size() != 1) throw ToolFailure(kExitBadInput, "--list takes one archive (see squash --help)");
    options.archive = positional[0];
    return options;
  }
  if (positional.size() < 2 || positional.size() > 3)
    throw ToolFailure(kExitBadInput, "expected SOURCE ARCHIVE [LABEL] (see squash --help)");
  options.source = positional[0];
  options.archive = positional[1];
  if (positional.size() == 3) options.label = positional[2];
  if (options.label && options.label->find_first_of("\t\r\n") != std::string::npos)
    throw ToolFailure(kExitBadInput, "a label cannot hold tabs or line breaks");
  return options;
}

}  // namespace kc::tools
