// The entries of a zip archive as libarchive reads them: an independent
// reader, so that tests check our own writer against another implementation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kc::tools {

struct ArchivedEntry {
  std::string name;
  std::string data;
  std::uint64_t size = 0;
  std::int64_t mtime = 0;
  std::uint32_t mode = 0644;
  bool directory = false;
  bool symlink = false;
  std::string linkTarget;
};

// All entries in archive order, with the data of those for which wantData says
// so. A file that is not a readable zip archive is a ToolFailure (kExitBadInput)
// naming `shownName`.
using WantData = bool (*)(const std::string& entryName);
std::vector<ArchivedEntry> ReadZipContents(const std::string& hostPath, const std::string& shownName,
                                           WantData wantData);

}  // namespace kc::tools
