// The command line of squash.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kc::tools {

struct SquashOptions {
  bool help = false;
  bool list = false;       // --list ARCHIVE
  bool include = false;    // -i: merge into the existing archive
  bool overwrite = false;  // -o: an added entry replaces one of the same name
  bool hidden = false;     // -sh: include names starting with "."
  std::string source;      // a file, or "FOLDER\pattern"
  std::string archive;     // the .z archive (Windows path)
  std::optional<std::string> label;
};

// A usage error is a ToolFailure (kExitBadInput) saying what is wrong.
SquashOptions ParseSquashOptions(const std::vector<std::string>& arguments);

}  // namespace kc::tools
