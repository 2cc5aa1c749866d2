// What squash does: build an archive from a file or from the files matching a
// pattern, merged into the existing archive with -i, and list an archive.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "squash/squash_options.h"

namespace kc::tools {

struct MergeReport {
  int added = 0;     // new entries
  int replaced = 0;  // existing entries replaced (-o)
  int kept = 0;      // existing entries kept because -o was not given
  std::vector<std::string> warnings;
};

// Writes the archive atomically; failures are ToolFailures naming the file.
MergeReport SquashFiles(const SquashOptions& options);

// Prints one line per entry, "<size>\t<name>\t<label>", in archive order; the
// label manifest itself is not listed.
void ListArchive(const std::string& windowsArchive, std::FILE* out);

}  // namespace kc::tools
