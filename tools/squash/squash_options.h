// The command line of squash.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kc::tools {

struct SquashOptions {
  std::optional<int> finished;  // --help or --version was printed: exit with this status
  bool list = false;            // --list ARCHIVE
  bool include = false;         // -i: merge into the existing archive
  bool overwrite = false;       // -o: an added entry replaces one of the same name
  bool hidden = false;          // -sh: include names starting with "."
  std::string source;           // a file, or "FOLDER\pattern"
  std::string archive;          // the .z archive (Windows path)
  std::optional<std::string> label;
};

// Options are matched without regard to case, as Windows tools take them. A
// usage error is a ToolFailure (kExitBadInput) saying what is wrong.
SquashOptions ParseSquashOptions(const std::vector<std::string>& arguments);

}  // namespace kc::tools
